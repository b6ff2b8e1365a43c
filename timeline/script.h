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
    // this script's. Used for the main file and for every INCLUDE.
    void parseFile(const std::string& path);

    const std::vector<std::unique_ptr<ScriptEvent>>& timelineEvents() const { return timelineEvents_; }
    const std::vector<std::unique_ptr<ScriptEvent>>& setupEvents() const { return setupEvents_; }
    const std::vector<Define>& defines() const { return defines_; }
    int demoStart() const { return demoStart_; }
    int timeOffset() const { return timeOffset_; }

    static constexpr size_t maxDefines = 400;

private:
    std::string readDirectives(const std::string& text);
    std::string substitute(const std::string& text) const;
    void parseSections(const std::string& text);
    void parseSetup(class WordReader& reader);
    void parseTimeline(class WordReader& reader);
    void parseTimelineEvent(WordReader& reader, int time, int line);
    int applyOffsetTerms(WordReader& reader, int value);

    std::vector<Define> defines_;
    std::vector<std::unique_ptr<ScriptEvent>> timelineEvents_;
    std::vector<std::unique_ptr<ScriptEvent>> setupEvents_;
    int demoStart_ = 0;
    int timeOffset_ = 0;
};
