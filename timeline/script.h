#pragma once
// The show's script: text substitutions, setup commands delivered once, and
// a time-sorted timeline of events, parsed from "data/script.scr" and the
// files it includes.
#include <memory>
#include <string>
#include <vector>

#include "timeline/command.h"

struct Define {
    std::string name;
    std::string replacement;
};

class Script {
public:
    // Parses path and everything it includes, then sorts the timeline by
    // time, keeping the reading order of equal times. Syntax errors and a
    // missing file are reported as the "script: " errors; the fatal ones end
    // the process.
    explicit Script(const std::string& path);

    // One file through all passes; its events, definitions and offsets join
    // this script's. Used for the main file and for every INCLUDE. An INCLUDE
    // of a file that is already being read (directly or through others) is
    // a fatal "script: " error naming the including file and line.
    void parseFile(const std::string& path);

    const std::vector<std::unique_ptr<ScriptEvent>>& timelineEvents() const { return timelineEvents_; }
    const std::vector<std::unique_ptr<ScriptEvent>>& setupEvents() const { return setupEvents_; }
    const std::vector<Define>& defines() const { return defines_; }
    int demoStart() const { return demoStart_; }
    int timeOffset() const { return timeOffset_; }

    static constexpr size_t maxDefines = 400;

private:
    // The file being parsed: its name and, for every line of the text its
    // directives pass keeps, the line of the file that line came from.
    struct Source {
        std::string path;
        std::vector<int> keptLines;
    };

    void include(const std::string& path, const Source& from, int line);
    std::string readDirectives(const std::string& text, Source& source);
    std::string substitute(const std::string& text) const;
    void parseSections(const std::string& text, const Source& source);
    void parseSetup(class WordReader& reader);
    void parseTimeline(class WordReader& reader, const Source& source);
    void parseTimelineEvent(WordReader& reader, int time, int line);
    int applyOffsetTerms(WordReader& reader, int value);

    std::vector<Define> defines_;
    std::vector<std::unique_ptr<ScriptEvent>> timelineEvents_;
    std::vector<std::unique_ptr<ScriptEvent>> setupEvents_;
    int demoStart_ = 0;
    int timeOffset_ = 0;
    // The files being read, outermost first, as comparable names.
    std::vector<std::string> reading_;
};
