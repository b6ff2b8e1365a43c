#pragma once
// The show's script: text substitutions, setup commands delivered once, and
// a time-sorted timeline of events, parsed from "data/script.scr" and the
// files it includes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "timeline/command.h"

// Where a word of a script stands: the file that holds it (an included
// file names itself), the line an editor shows (1 for the first), the word.
struct ScriptPlace {
    std::string file;
    int line = 0;
    std::string word;

    // FILE:LINE: "WORD", the line that follows every script message.
    std::string text() const;
};

struct Define {
    std::string name;
    std::string replacement;
};

class Script {
public:
    // Parses path and everything it includes, then sorts the timeline by
    // time, keeping the reading order of equal times. Syntax errors and a
    // missing file are reported as the "script: " errors, each followed by
    // the FILE:LINE: "WORD" line of the word at fault (a missing included
    // file: the INCLUDE's file and line); the fatal ones end the process.
    // A line whose event is not recognized is skipped whole, so one mistake
    // gives one message.
    explicit Script(const std::string& path);

    // Parses as the constructor does, but shows no box and ends nothing: a
    // script with an error that would end the program gives null and that
    // error's text (with its FILE:LINE line) in failure, and is read no
    // further; lesser errors go to standard error.
    static std::unique_ptr<Script> tryLoad(const std::string& path, std::string& failure);

    // One file through all passes; its events, definitions and offsets join
    // this script's. Used for the main file and for every INCLUDE. An INCLUDE
    // of a file that is already being read (directly or through others) is
    // a fatal "script: " error naming the including file and line.
    void parseFile(const std::string& path) { parseFile(path, nullptr); }

    const std::vector<std::unique_ptr<ScriptEvent>>& timelineEvents() const { return timelineEvents_; }
    const std::vector<std::unique_ptr<ScriptEvent>>& setupEvents() const { return setupEvents_; }
    const std::vector<Define>& defines() const { return defines_; }
    int demoStart() const { return demoStart_; }
    // The show's end in ms as the head's DEMOEND gives it; -1 without one.
    int demoEnd() const { return demoEnd_; }
    int timeOffset() const { return timeOffset_; }
    // Every file read: the script first, then its includes in reading order.
    const std::vector<std::string>& files() const { return files_; }

    static constexpr size_t maxDefines = 400;

private:
    // The file being parsed: its name and, for every line of the text its
    // directives pass keeps, the line of the file that line came from.
    struct Source {
        std::string path;
        std::vector<int> keptLines;
    };

    Script(const std::string& path, bool quiet);
    // includedAt: the INCLUDE's word that names path; null for the script.
    void parseFile(const std::string& path, const ScriptPlace* includedAt);
    // Reports an error (message, then line unless -1, then the place unless
    // null) as the program does, or when quiet keeps the first fatal one and
    // prints the others.
    void fail(const std::string& message, int line, bool fatal, const ScriptPlace* place);
    // After a fatal error of a quiet parse nothing more is read.
    bool stopped() const { return !failure_.empty(); }
    // The word just read from text that parseSections reads, in the source.
    static ScriptPlace placeOf(const class WordReader& reader, const Source& source, const std::string& word);
    // The file name that follows an INCLUDE on its line, which stands at `at`.
    void include(WordReader& reader, const ScriptPlace& at);
    std::string readDirectives(const std::string& text, Source& source);
    std::string substitute(const std::string& text) const;
    void parseSections(const std::string& text, const Source& source);
    void parseSetup(WordReader& reader, const Source& source);
    void parseTimeline(WordReader& reader, const Source& source);
    void parseTimelineEvent(WordReader& reader, const Source& source, int time, int line);
    // value followed by the line's "+"/"-" offset terms; a sum that leaves
    // the range of a time is a fatal error naming the timeline line.
    int applyOffsetTerms(WordReader& reader, const Source& source, int value, int line);
    // a + b; beyond the range of a time, a fatal error naming the timeline
    // line and the word at `at` (a is returned then).
    int addTimes(int a, int64_t b, int line, const ScriptPlace& at);

    std::vector<Define> defines_;
    std::vector<std::unique_ptr<ScriptEvent>> timelineEvents_;
    std::vector<std::unique_ptr<ScriptEvent>> setupEvents_;
    int demoStart_ = 0;
    int demoEnd_ = -1;
    int timeOffset_ = 0;
    // The files being read, outermost first, as comparable names.
    std::vector<std::string> reading_;
    std::vector<std::string> files_;
    bool quiet_ = false;
    std::string failure_;  // the first fatal error of a quiet parse
};
