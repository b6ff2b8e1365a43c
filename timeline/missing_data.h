#pragma once
// What a show's data lack: the files its effects asked for and did not get,
// gathered while the effects are built and the script is set up, so that the
// player and swtool end with one message naming every one of them rather
// than one file per run.
#include <bitset>
#include <string>
#include <vector>

class Script;

constexpr int effectPlaces = 64;

// The effect numbers that the script's setup and timeline events address.
std::bitset<effectPlaces> addressedEffects(const Script& script);

class MissingData {
public:
    // Notes path as a file the show uses and lacks; a path noted before is
    // not noted again.
    void add(const std::string& path);
    void add(const std::vector<std::string>& paths);
    bool empty() const { return paths_.empty(); }
    // The paths in the order first noted.
    const std::vector<std::string>& paths() const { return paths_; }
    // One line per path, without a final line end: "Fatal error: picture "
    // or, for a scene file, "Fatal error: scene ", then describe(path).
    std::string message() const;

    // "PATH is missing", or "PATH cannot be decoded" when the file is there
    // (looked for as dataOpen finds data files).
    static std::string describe(const std::string& path);

private:
    std::vector<std::string> paths_;
};
