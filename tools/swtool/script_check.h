#pragma once
// The script read for mistakes, as the player would read it (the same
// files, words, definitions and sections), without GL and without stopping
// at the first one: every finding names the file that holds it and the line
// an editor shows, with the word quoted.
#include <string>
#include <vector>

struct ScriptFinding {
    std::string file;
    int line = 0;  // 1 for the first line
    std::string what;

    // "FILE:LINE: what".
    std::string text() const;
};

// Reads `path` (a data file name such as "data/script.scr", through the data
// files the player reads: loose, or from the archive set) and the files it
// includes. Returns the findings in reading order; empty for a clean show.
// Checked: the words of the head and the sections, names used but not
// defined, numbers (times, effects, codes) that are not numbers, effect
// numbers outside 0..63 or where the effect table has no effect, timeline
// times below 1 or after the show's end, an END before its effect's first
// START, included files that do not exist or add no events, command codes
// the addressed effect does not act on, and pictures and scenes named in
// commands that do not exist or do not decode (with the player's decoders).
std::vector<ScriptFinding> checkScript(const std::string& path);
