#pragma once
// The show played offscreen on a manual clock, as the player would play it:
// the same effect table, script and timeline, with the music's spectrum read
// at each frame's time. Shared by the commands that render and profile.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

class Demo;
class EffectRegistry;
class GLWindow;
class ImageCache;

// Where the show's data and music come from, as given on the command line.
struct ShowSource {
    std::string dataDir;   // a show folder with loose data files, or
    std::string archive;   // a data archive
    std::string password;
    std::string music;     // optional soundtrack for the beat detector
    int samples = 0;       // multisampling of the offscreen frame
};

// The common part of the long commands' options: every flag takes one value
// except --quiet; show-source flags are read into source, the rest handed to
// other, which returns false for a flag it does not know. False (with a
// message naming `tool`) on a missing value or an unknown flag.
bool readLongCommandFlags(int argc, char** argv, const char* tool, ShowSource& source, bool& quiet,
                          const std::function<bool(const std::string& flag, const char* value)>& other);

// Reads a show-source flag (--data, --archive, --password, --music,
// --samples) with its value into source. Returns false when flag is none of
// them; the caller handles it.
bool readShowSourceFlag(const std::string& flag, const char* value, ShowSource& source);

class OfflineShow {
public:
    static constexpr int frameWidth = 640;
    static constexpr int frameHeight = 480;

    OfflineShow();
    // Shuts the window down.
    ~OfflineShow();
    OfflineShow(const OfflineShow&) = delete;
    OfflineShow& operator=(const OfflineShow&) = delete;

    // Opens the data (entering the data folder, so relative paths given to
    // the caller must be made absolute before), creates the headless window,
    // the effects and the demo, and sets the show up at its start. `tool` names
    // the command in messages. False, with a message on standard error, when
    // the data folder, the archive's script (named with the archive's fault,
    // such as a missing or wrong password) or the music cannot be opened.
    bool open(const ShowSource& source, const char* tool);
    // Draws the frame at demo time `time` (not before the previous one):
    // fires the events due, renders and swaps.
    void drawFrameAt(int32_t time);
    // A jump to `time`, as the player's keys make one: the show rebuilt as
    // straight playback has it there (see Demo::restartAt); the next
    // drawFrameAt may be at `time` or later.
    void restartAt(int32_t time);

    Demo& demo() { return *demo_; }
    EffectRegistry& registry();
    // The headless window and the clock its timer reads, for callers that
    // step the show themselves (after open).
    GLWindow& window() { return *window_; }
    platform::ManualClock& clock() { return clock_; }

private:
    platform::ManualClock clock_;
    std::unique_ptr<GLWindow> window_;
    std::unique_ptr<ImageCache> imageCache_;
    std::unique_ptr<Demo> demo_;
};

// The demo times from `from` to `to` (both included when on the step) at
// fps frames a second, rounded down to whole milliseconds; empty for fps <= 0.
std::vector<int> stepTimes(long from, long to, long fps);

// The show frame (what the player shows, at its own 640 x 480) as RGB rows,
// top row first (the window shows no alpha, so frames carry none either).
void readFrameRgb(uint8_t* pixels);
