#include "tools/swtool/script_check.h"

#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "scene/scene_file_parser.h"
#include "timeline/demo.h"
#include "timeline/effect_table.h"
#include "timeline/word_reader.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

namespace {

constexpr int effectSlots = 64;

// A word with the line it stands on.
struct Word {
    std::string text;
    int line = 0;
};

using Line = std::vector<Word>;

// The file's lines of words, comments ("//" to the line's end) left out,
// empty lines dropped.
std::vector<Line> readLines(const std::string& text)
{
    std::vector<Line> lines;
    WordReader reader(text);
    for (int number = 1; !reader.atEnd(); ++number) {
        Line line;
        for (std::string& word : splitWords(reader.restOfLine())) {
            if (word.rfind("//", 0) == 0)
                break;
            line.push_back({std::move(word), number});
        }
        if (!line.empty())
            lines.push_back(std::move(line));
    }
    return lines;
}

// Digits with an optional sign, nothing else: what the parser reads whole.
bool isWholeNumber(const std::string& word)
{
    const size_t start = !word.empty() && (word[0] == '+' || word[0] == '-') ? 1 : 0;
    return word.size() > start &&
           std::all_of(word.begin() + static_cast<std::ptrdiff_t>(start), word.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

bool looksLikeName(const std::string& word)
{
    return !word.empty() && (std::isalpha(static_cast<unsigned char>(word[0])) != 0 || word[0] == '_');
}

std::string quoted(const std::string& word) { return "\"" + word + "\""; }

// The word ends with `ending` (lower case), in either case.
bool hasEnding(const std::string& word, const std::string& ending)
{
    if (word.size() <= ending.size())
        return false;
    std::string tail = word.substr(word.size() - ending.size());
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ending;
}

bool namesDataFile(const std::string& word)
{
    static const char* const endings[] = {".png", ".jpg", ".jpeg", ".tga", ".gif", ".pcx", ".scn"};
    return std::any_of(std::begin(endings), std::end(endings), [&](const char* ending) { return hasEnding(word, ending); });
}

// What is wrong with the picture or scene file a command names, as the
// player would load it: "" when it loads, else what to report after the
// quoted name.
std::string dataFileFault(const std::string& path)
{
    DataFile* file = dataOpen(path.c_str());
    if (file == nullptr)
        return "does not exist";
    const bool loads = hasEnding(path, ".scn") ? !parseSceneFile(file->data, file->size).failed : canLoadImage(path.c_str());
    dataClose(file);
    return loads ? "" : "cannot be decoded";
}

class Checker {
public:
    std::vector<ScriptFinding> findings;

    void checkFile(const std::string& path, const std::string& includedFrom, int includeLine);
    void checkEndsAfterStarts();

private:
    struct Starts {
        std::optional<int> firstStart;
        std::vector<std::pair<Word, int>> ends;  // the END's effect word and time
        std::string endFile;
    };

    void report(const std::string& file, int line, const std::string& what)
    {
        findings.push_back({file, line, what});
    }
    // The word with its definition put in, as the parser's substitution does.
    std::string substituted(const std::string& word) const
    {
        const auto define = defines_.find(word);
        return define != defines_.end() ? define->second : word;
    }
    std::optional<int> number(const Word& word, const char* role);
    std::optional<int> checkEffect(const Word& word);
    void checkCommand(const Line& line);
    void checkHead(const std::vector<Line>& lines, size_t& at, bool& hasSetup);
    void checkSetup(const std::vector<Line>& lines, size_t& at);
    void checkTimeline(const std::vector<Line>& lines, size_t& at);
    void checkEvent(const Line& line, int time);
    void include(const Line& line);

    std::map<std::string, std::string> defines_;
    std::vector<std::string> reading_;
    std::string file_;  // the file being checked
    int demoEnd_ = Demo::defaultEndTime;
    int timeOffset_ = 0;
    std::map<int, Starts> effects_;
};

std::optional<int> Checker::number(const Word& word, const char* role)
{
    const std::string value = substituted(word.text);
    if (isWholeNumber(value))
        return readNumber(value);
    if (looksLikeName(value))
        report(file_, word.line, quoted(word.text) + " is not defined (" + role + " expected)");
    else
        report(file_, word.line, quoted(word.text) + " is not a number (" + role + " expected)");
    return std::nullopt;
}

// The effect number when an effect stands there; otherwise reports why not.
std::optional<int> Checker::checkEffect(const Word& word)
{
    const std::optional<int> effect = number(word, "an effect number");
    if (!effect)
        return std::nullopt;
    if (*effect < 0 || *effect >= effectSlots) {
        report(file_, word.line, "effect " + quoted(word.text) + " is out of range (0 to 63)");
        return std::nullopt;
    }
    if (effectName(*effect)[0] == '\0') {
        report(file_, word.line, "effect " + quoted(word.text) + " has no effect at that number");
        return std::nullopt;
    }
    return effect;
}

// A SIGNAL line of at least four words: the effect, a code that effect acts
// on, and the pictures and scenes its arguments name.
void Checker::checkCommand(const Line& line)
{
    const std::optional<int> effect = checkEffect(line[2]);
    const std::optional<int> code = number(line[3], "a command code");
    if (effect && code && !effectKnowsCommand(*effect, *code))
        report(file_, line[3].line,
               "effect " + quoted(line[2].text) + " (" + effectName(*effect) + ") has no command " +
                   quoted(line[3].text));
    for (size_t i = 4; i < line.size(); ++i) {
        if (!namesDataFile(line[i].text))
            continue;
        const std::string fault = dataFileFault(line[i].text);
        if (!fault.empty())
            report(file_, line[i].line, quoted(line[i].text) + " " + fault);
    }
}

void Checker::include(const Line& line)
{
    if (line.size() < 2) {
        report(file_, line[0].line, quoted("INCLUDE") + " without a file name");
        return;
    }
    const std::string saved = file_;
    checkFile(line[1].text, saved, line[1].line);
    file_ = saved;
}

void Checker::checkHead(const std::vector<Line>& lines, size_t& at, bool& hasSetup)
{
    for (; at < lines.size(); ++at) {
        const Line& line = lines[at];
        const std::string& word = line[0].text;
        if (word == "SETUP") {
            hasSetup = true;
            ++at;
            return;
        }
        if (word == "INCLUDE") {
            include(line);
        } else if (word == "DEFINE") {
            if (line.size() < 3)
                report(file_, line[0].line, quoted("DEFINE") + " needs a name and its replacement");
            else
                defines_.emplace(line[1].text, line[2].text);
        } else if (word == "DEMOSTART" || word == "DEMOEND") {
            const std::optional<int> ms = line.size() > 1 ? number(line[1], "milliseconds") : std::nullopt;
            if (line.size() < 2)
                report(file_, line[0].line, quoted(word) + " needs milliseconds");
            else if (ms && (*ms < 0 || (word == "DEMOEND" && *ms == 0)))
                report(file_, line[1].line, quoted(line[1].text) + " is out of range for " + word);
            else if (ms && word == "DEMOEND")
                demoEnd_ = *ms;
        } else {
            report(file_, line[0].line, quoted(word) + " is not a word of the script's head");
        }
    }
}

void Checker::checkSetup(const std::vector<Line>& lines, size_t& at)
{
    for (; at < lines.size(); ++at) {
        const Line& line = lines[at];
        if (line[0].text == "TIMELINE") {
            ++at;
            return;
        }
        if (line[0].text == "DEFINE")
            continue;
        const std::optional<int> time = number(line[0], "the time 0");
        if (time && *time != 0)
            report(file_, line[0].line, "setup time " + quoted(line[0].text) + " must be 0");
        if (line.size() < 2 || line[1].text != "SIGNAL") {
            report(file_, line[0].line,
                   (line.size() < 2 ? std::string("no event") : quoted(line[1].text) + " is not an event") +
                       " (setup lines are: 0 SIGNAL effect code argument)");
            continue;
        }
        if (line.size() < 4) {
            report(file_, line[1].line, quoted("SIGNAL") + " needs an effect and a command code");
            continue;
        }
        checkCommand(line);
    }
}

void Checker::checkEvent(const Line& line, int time)
{
    const std::string kind = line.size() > 1 ? line[1].text : "";
    if (kind != "START" && kind != "END" && kind != "INIT" && kind != "SIGNAL") {
        report(file_, line[0].line,
               (kind.empty() ? std::string("no event") : quoted(kind) + " is not an event") +
                   " (START, END, INIT or SIGNAL)");
        return;
    }
    if (line.size() < (kind == "SIGNAL" ? 4U : 3U)) {
        report(file_, line[1].line, quoted(kind) + (kind == "SIGNAL" ? " needs an effect and a command code"
                                                                     : " needs an effect number"));
        return;
    }
    if (kind == "SIGNAL") {
        checkCommand(line);
        return;
    }
    checkEffect(line[2]);
    if (line.size() > 3)
        report(file_, line[3].line, quoted(line[3].text) + " follows a complete " + kind + " event");
    const std::string effectWord = substituted(line[2].text);
    if (!isWholeNumber(effectWord))
        return;
    Starts& effect = effects_[readNumber(effectWord)];
    // INIT starts an effect as START does.
    if (kind != "END" && (!effect.firstStart || time < *effect.firstStart))
        effect.firstStart = time;
    if (kind == "END") {
        effect.ends.push_back({line[1], time});
        effect.endFile = file_;
    }
}

void Checker::checkTimeline(const std::vector<Line>& lines, size_t& at)
{
    for (; at < lines.size(); ++at) {
        const Line& line = lines[at];
        const std::string& word = line[0].text;
        if (word == "LINETIME")
            return;
        if (word == "DEFINE")
            continue;
        if (word == "INCLUDE") {
            include(line);
            continue;
        }
        if (word == "TIMEOFFSET" || word == "TIMEOFFSETD") {
            const std::optional<int> value = line.size() > 1 ? number(line[1], "milliseconds") : std::nullopt;
            if (line.size() < 2)
                report(file_, line[0].line, quoted(word) + " needs milliseconds");
            int offset = value.value_or(0);
            for (size_t i = 2; word == "TIMEOFFSET" && i + 1 < line.size(); i += 2) {
                const std::optional<int> term = number(line[i + 1], "milliseconds");
                offset += (line[i].text == "-" ? -1 : 1) * term.value_or(0);
            }
            timeOffset_ = word == "TIMEOFFSET" ? offset : timeOffset_ + offset;
            continue;
        }
        const std::optional<int> time = number(line[0], "a time in milliseconds");
        if (!time)
            continue;
        const long long at = static_cast<long long>(*time) + timeOffset_;
        if (at < 1 || at > demoEnd_)
            report(file_, line[0].line,
                   "time " + quoted(word) + " is out of range (1 to the show's end, " + std::to_string(demoEnd_) + ")");
        checkEvent(line, static_cast<int>(at));
    }
}

void Checker::checkFile(const std::string& path, const std::string& includedFrom, int includeLine)
{
    std::string text;
    if (!dataReadText(path.c_str(), text)) {
        if (includedFrom.empty())
            report(path, 1, quoted(path) + " cannot be opened");
        else
            report(includedFrom, includeLine, "included file " + quoted(path) + " does not exist");
        return;
    }
    if (std::find(reading_.begin(), reading_.end(), path) != reading_.end()) {
        report(includedFrom, includeLine, "included file " + quoted(path) + " is already being read");
        return;
    }
    reading_.push_back(path);
    file_ = path;
    const std::vector<Line> lines = readLines(text);
    // Definitions apply to the whole file, wherever they stand.
    for (const Line& line : lines) {
        if (line[0].text == "DEFINE" && line.size() >= 3)
            defines_.emplace(line[1].text, line[2].text);
    }
    size_t at = 0;
    bool hasSetup = false;
    checkHead(lines, at, hasSetup);
    file_ = path;
    if (!hasSetup) {
        const bool hasEvents = std::any_of(lines.begin(), lines.end(),
                                           [](const Line& line) { return isWholeNumber(line[0].text); });
        if (hasEvents || includedFrom.empty())
            report(includedFrom.empty() ? path : includedFrom, includedFrom.empty() ? 1 : includeLine,
                   quoted(path) + " has no " + quoted("SETUP") + ": none of its events are read");
    } else {
        checkSetup(lines, at);
        checkTimeline(lines, at);
    }
    reading_.pop_back();
}

void Checker::checkEndsAfterStarts()
{
    for (const auto& [number, effect] : effects_) {
        for (const auto& [word, time] : effect.ends) {
            if (!effect.firstStart || time < *effect.firstStart)
                report(effect.endFile, word.line,
                       quoted("END") + " of effect " + std::to_string(number) + " at " + std::to_string(time) +
                           " comes before its first " + quoted("START") + " or " + quoted("INIT"));
        }
    }
}

}  // namespace

std::string ScriptFinding::text() const { return file + ":" + std::to_string(line) + ": " + what; }

std::vector<ScriptFinding> checkScript(const std::string& path)
{
    Checker checker;
    checker.checkFile(path, "", 0);
    checker.checkEndsAfterStarts();
    return checker.findings;
}
