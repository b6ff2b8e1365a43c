#pragma once
// The demo player: delivers the script's setup commands, fires timeline
// events as the demo time passes them, renders and swaps, and watches the
// quit and reload keys and the end time.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "timeline/script.h"

class GLWindow;
class EffectRegistry;

class Demo {
public:
    // How far before a new time the show is stepped through off-screen
    // after a jump, so that what builds up over frames (trails, particles,
    // echoes, beat averages) shows there as straight playback has it.
    static constexpr int32_t pastStepped = 1000;

    // Where the show ends when neither the script (DEMOEND) nor the caller
    // says otherwise.
    static constexpr int32_t defaultEndTime = 287000;

    // Stores the path; no end set; no script yet.
    explicit Demo(std::string scriptPath);

    // Where the show ends instead of the script's DEMOEND; -1 for DEMOEND.
    void setEndTime(int32_t ms) { endOverride_ = ms; }
    // The end set by setEndTime, else the script's DEMOEND when it is
    // after 0 (the script readScript read, before the first setup), else
    // defaultEndTime.
    int32_t endTime() const;
    // Where the show starts instead of the script's DEMOSTART; -1 for DEMOSTART.
    void setStartTime(int32_t ms) { startOverride_ = ms; }
    // With loop, the frame that reaches the end time goes back to the start
    // (show set up again, music there) instead of asking to quit.
    void setLoop(bool loop) { loop_ = loop; }
    // With a lenient reload, Control + Shift reads the script first: a
    // broken one is reported on standard error and the last good script
    // plays on, as for a reload on save.
    void setLenientReload(bool lenient) { lenientReload_ = lenient; }

    // Parses the script now, ahead of setup, which takes this parse
    // instead of reading the file again: callers that build effects by what
    // the script addresses read it first. Errors as for setup.
    const Script& readScript();
    // Parses the script anew (or takes the one readScript or a lenient
    // reload read),
    // rewinds every effect, delivers the setup commands to the effects
    // present and starts every effect at 0. Script errors are reported by
    // the parser. Neither the time nor the music move.
    void setup(GLWindow& window, EffectRegistry& registry);
    // After setup: the first frame, at the start time, drawn and shown
    // (on a frame cleared of the loading bar) before time and music move;
    // then both start there together. Any
    // first-use cost of the effects is paid here, not by a frame the music
    // waits for.
    void begin();
    // One frame: nothing while minimised. Reads the time for the frame;
    // Escape asks to quit and Control with Shift to reload (both without
    // rendering), counting keys tapped since the previous frame looked at
    // them. Space pauses or resumes (time and music), Home restarts at the
    // start, Left/Right jump 5 s back/forward and Page Up/Page Down 30 s
    // (see jumpTo). Then draws the show at the time (see drawAt) and swaps.
    // The frame that reaches the end time still renders, then asks to quit.
    void frame();
    // Fires every event due by `time`, renders all effects at it, tells the
    // frame observer and swaps.
    void drawAt(int32_t time);

    // The start set by setStartTime, else the script's DEMOSTART, or 0
    // without a script.
    int32_t startTime() const;
    bool quitRequested() const { return quit_; }
    bool reloadRequested() const { return reload_; }
    const Script* script() const { return script_.get(); }

    // Called with the frame's time after the effects have rendered and
    // before the swap; the offline renderer reads the picture there.
    void setFrameObserver(std::function<void(int32_t)> observer) { observer_ = std::move(observer); }

    // The show as straight playback has it at ms (see rebuildAt), then time
    // and music moved there together (held there while paused).
    void restartAt(int32_t ms);
    // restartAt ms, kept within 0 and the end time.
    void jumpTo(int32_t ms);
    // Every effect rewound and set up again from the current script, the
    // events before ms - pastStepped delivered, and the pastStepped ms
    // before ms drawn off-screen at the reference rate, so that the next
    // frame, at ms, is the frame straight playback draws there. Time and
    // music do not move.
    void rebuildAt(int32_t ms);
    // After setup: parses the script anew without ending the program on an
    // error. A good script replaces the current one and the show is rebuilt
    // at the current time while time and music run on; a broken one leaves
    // the current script playing and gives its error text in failure
    // (false).
    bool reloadKeepingTime(std::string& failure);

private:
    void deliverSetup();
    void fireDueEvents(int32_t time);
    // Reads the script for Control + Shift; false (reported) to play on.
    bool readScriptForReload();

    GLWindow* window_ = nullptr;
    EffectRegistry* registry_ = nullptr;
    std::string scriptPath_;
    std::unique_ptr<Script> script_;
    std::unique_ptr<Script> reloaded_;  // read ahead (readScript, a lenient reload), for setup
    size_t cursor_ = 0;
    bool quit_ = false;
    bool reload_ = false;
    int32_t endOverride_ = -1;
    int32_t startOverride_ = -1;
    bool loop_ = false;
    bool lenientReload_ = false;
    std::function<void(int32_t)> observer_;
};
