#include "timeline/script.h"

#include "resources/datafile.h"
#include "shell/error_report.h"
#include "timeline/word_reader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>

namespace {

std::unique_ptr<ScriptEvent> makeEvent(int time, EventKind kind, int effect)
{
    auto event = std::make_unique<ScriptEvent>();
    event->time = time;
    event->kind = kind;
    event->effect = effect;
    return event;
}

// The one argument word of a SIGNAL: a number, or else the text of the command.
void setSignalArgument(Command& command, const std::string& word)
{
    if (isNumericWord(word)) {
        command.isText = 0;
        command.args[0] = readNumber(word);
        command.argCount = 1;
    } else {
        command.isText = 1;
        command.text = word;
        command.argCount = 0;
    }
}

// Two spellings of one file name compare equal: either separator, and
// "." or ".." steps resolved.
std::string comparableName(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return std::filesystem::path(path).lexically_normal().generic_string();
}

}  // namespace

std::string ScriptPlace::text() const { return file + ":" + std::to_string(line) + ": \"" + word + "\""; }

Script::Script(const std::string& path) : Script(path, false) {}

Script::Script(const std::string& path, bool quiet) : quiet_(quiet)
{
    parseFile(path);
    std::stable_sort(timelineEvents_.begin(), timelineEvents_.end(),
                     [](const auto& a, const auto& b) { return a->time < b->time; });
}

std::unique_ptr<Script> Script::tryLoad(const std::string& path, std::string& failure)
{
    std::unique_ptr<Script> script(new Script(path, true));
    if (script->failure_.empty())
        return script;
    failure = script->failure_;
    return nullptr;
}

void Script::fail(const std::string& message, int line, bool fatal, const ScriptPlace* place)
{
    // The message keeps its own words; the place an editor opens follows it.
    std::string text = composeErrorText(message.c_str(), line);
    if (place != nullptr)
        text += "\n" + place->text();
    if (!quiet_) {
        if (fatal && !reading_.empty())
            std::fprintf(stderr, "script: error in %s\n", reading_.back().c_str());
        reportError(text.c_str(), -1, fatal);
        return;
    }
    if (!fatal)
        std::fprintf(stderr, "%s\n", text.c_str());
    else if (failure_.empty())
        failure_ = text;
}

void Script::parseFile(const std::string& path, const ScriptPlace* includedAt)
{
    files_.push_back(path);
    reading_.push_back(comparableName(path));
    std::string text;
    if (!dataReadText(path.c_str(), text)) {
        fail("script: could not open file for parsing", -1, true, includedAt);
        reading_.pop_back();
        return;
    }
    if (!failure_.empty()) {
        reading_.pop_back();
        return;
    }
    Source source{path, {}};
    const std::string kept = readDirectives(text, source);
    parseSections(substitute(kept), source);
    reading_.pop_back();
}

// A file that includes itself, directly or through others, would be read
// without end. Every other chain ends: the files name finitely many others.
void Script::include(WordReader& reader, const ScriptPlace& at)
{
    ScriptPlace named = at;
    named.word = reader.nextOnLine();
    if (named.word.empty()) {
        fail("script: INCLUDE without a file name", -1, true, &at);
        return;
    }
    const std::string& path = named.word;
    if (std::find(reading_.begin(), reading_.end(), comparableName(path)) != reading_.end()) {
        const std::string message =
            "script: INCLUDE of a file already being read (" + path + ") in " + at.file + " line #";
        fail(message, at.line, true, &named);
        return;
    }
    parseFile(path, &named);
}

ScriptPlace Script::placeOf(const WordReader& reader, const Source& source, const std::string& word)
{
    // The text read has one line for each kept line of the source; a word
    // read at the end of the text belongs to the last of them.
    const auto kept = static_cast<size_t>(reader.linesBefore());
    const int line = kept < source.keptLines.size() ? source.keptLines[kept]
                     : source.keptLines.empty()     ? 1
                                                    : source.keptLines.back();
    return {source.path, line, word};
}

// Pass 1: definitions, includes ahead of the setup section and comments are
// taken out; every other line is copied on, and where it stood is noted.
std::string Script::readDirectives(const std::string& text, Source& source)
{
    std::string kept;
    bool setupBegun = false;
    WordReader reader(text);
    for (std::string word = reader.next(); !word.empty() && !stopped(); word = reader.next()) {
        const int line = reader.linesBefore() + 1;
        if (word == "INCLUDE" && !setupBegun) {
            include(reader, {source.path, line, word});
        } else if (word == "DEFINE") {
            Define define;
            define.name = reader.next();
            define.replacement = reader.next();
            if (defines_.size() < maxDefines)
                defines_.push_back(std::move(define));
        } else if (word.rfind("//", 0) == 0) {
            reader.restOfLine();
        } else {
            if (word == "SETUP")
                setupBegun = true;
            source.keptLines.push_back(line);
            kept += word;
            kept += reader.restOfLine();
            kept += '\n';
        }
    }
    return kept;
}

// Pass 2: every word equal to a defined name becomes its replacement.
std::string Script::substitute(const std::string& text) const
{
    std::string result;
    WordReader lines(text);
    while (!lines.atEnd()) {
        const std::vector<std::string> words = splitWords(lines.restOfLine());
        for (size_t i = 0; i < words.size(); ++i) {
            const auto define = std::find_if(defines_.begin(), defines_.end(),
                                             [&](const Define& d) { return d.name == words[i]; });
            if (i > 0)
                result += ' ';
            result += define != defines_.end() ? define->replacement : words[i];
        }
        result += "\r\n";
    }
    return result;
}

// Passes 3 to 5: the header up to SETUP, the setup section, the timeline.
// The text has one line for each kept line of the source.
void Script::parseSections(const std::string& text, const Source& source)
{
    WordReader reader(text);
    for (std::string word = reader.next(); !word.empty(); word = reader.next()) {
        if (word == "DEMOSTART") {
            demoStart_ = readNumber(reader.next());
        } else if (word == "DEMOEND") {
            demoEnd_ = readNumber(reader.next());
        } else if (word == "SETUP") {
            parseSetup(reader, source);
            parseTimeline(reader, source);
            return;
        }
    }
}

void Script::parseSetup(WordReader& reader, const Source& source)
{
    for (int line = 1; !stopped(); ++line) {
        const std::string time = reader.next();
        // A file that ends inside its setup section simply has no timeline.
        if (time.empty() || time == "TIMELINE")
            return;
        if (readNumber(time) != 0) {
            const ScriptPlace at = placeOf(reader, source, time);
            fail("script: not a valid time (should be 0) in setup line #", line, true, &at);
        }
        const std::string kind = reader.next();
        if (kind != "SIGNAL") {
            const ScriptPlace at = placeOf(reader, source, kind);
            fail("script: event not recognized in setup line #", line, true, &at);
        }
        auto event = makeEvent(0, EventKind::signal, readNumber(reader.next()));
        event->payload.code = readNumber(reader.next());
        setSignalArgument(event->payload, reader.next());
        setupEvents_.push_back(std::move(event));
    }
}

int Script::addTimes(int a, int64_t b, int line, const ScriptPlace& at)
{
    // Wrapping to a negative time would move the event to the start.
    const int64_t sum = int64_t{a} + b;
    if (sum < std::numeric_limits<int>::min() || sum > std::numeric_limits<int>::max()) {
        fail("script: time out of range in timeline line #", line, true, &at);
        return a;
    }
    return static_cast<int>(sum);
}

// Offset terms: a sign standing as a word of its own, then a number.
int Script::applyOffsetTerms(WordReader& reader, const Source& source, int value, int line)
{
    for (char next = reader.peekNonBlank(); next == '+' || next == '-'; next = reader.peekNonBlank()) {
        const std::string sign = reader.next();
        const std::string termWord = reader.next();
        const int64_t term = readNumber(termWord);
        value = addTimes(value, sign[0] == '+' ? term : -term, line, placeOf(reader, source, termWord));
    }
    return value;
}

void Script::parseTimeline(WordReader& reader, const Source& source)
{
    int line = 1;
    for (std::string word = reader.next(); !word.empty() && !stopped(); word = reader.next()) {
        if (word == "LINETIME")
            return;
        const ScriptPlace at = placeOf(reader, source, word);
        if (word == "INCLUDE") {
            include(reader, at);
        } else if (word == "TIMEOFFSET") {
            timeOffset_ = readNumber(reader.next());
            timeOffset_ = applyOffsetTerms(reader, source, timeOffset_, line);
        } else if (word == "TIMEOFFSETD") {
            const std::string value = reader.next();
            timeOffset_ = addTimes(timeOffset_, readNumber(value), line, placeOf(reader, source, value));
        } else {
            const int time = applyOffsetTerms(reader, source, addTimes(readNumber(word), timeOffset_, line, at), line);
            if (time == 0)
                fail("script: not a valid(1-maxtime) time in timeline line #", line, true, &at);
            if (stopped())
                return;
            parseTimelineEvent(reader, source, time, line);
            ++line;
        }
    }
}

void Script::parseTimelineEvent(WordReader& reader, const Source& source, int time, int line)
{
    const std::string kind = reader.next();
    if (kind == "START" || kind == "END" || kind == "INIT") {
        const EventKind eventKind = kind == "START" ? EventKind::start
                                    : kind == "END" ? EventKind::end
                                                    : EventKind::init;
        timelineEvents_.push_back(makeEvent(time, eventKind, readNumber(reader.next())));
        return;
    }
    if (kind != "SIGNAL") {
        const ScriptPlace at = placeOf(reader, source, kind);
        fail("script: event not recognized in timeline line #", line, false, &at);
        // The rest of the line belongs to the event not recognized: read as
        // times and events it would only give follow-on messages.
        reader.restOfLine();
        return;
    }
    auto event = makeEvent(time, EventKind::signal, readNumber(reader.next()));
    Command& command = event->payload;
    command.code = readNumber(reader.next());
    setSignalArgument(command, reader.next());
    if (command.isText == 0) {
        command.timeOffset = timeOffset_;
        for (const std::string& word : splitWords(reader.restOfLine())) {
            if (!isNumericWord(word))
                continue;
            if (command.argCount < 10)
                command.args[command.argCount] = readNumber(word);
            ++command.argCount;
        }
    }
    timelineEvents_.push_back(std::move(event));
}
