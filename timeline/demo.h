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
    // Stores the path; end time 240000 ms; no script yet.
    explicit Demo(std::string scriptPath);

    void setEndTime(int32_t ms) { endTime_ = ms; }
    int32_t endTime() const { return endTime_; }
    // Where the show starts instead of the script's DEMOSTART; -1 for DEMOSTART.
    void setStartTime(int32_t ms) { startOverride_ = ms; }
    // With loop, the frame that reaches the end time goes back to the start
    // (show set up again, music there) instead of asking to quit.
    void setLoop(bool loop) { loop_ = loop; }

    // Parses the script anew, delivers its setup commands to the effects
    // present, starts every effect at 0 and sets the timer's offset to the
    // start time. Script errors are reported by the parser.
    void setup(GLWindow& window, EffectRegistry& registry);
    // One frame: nothing while minimised; Escape asks to quit and Control
    // with Shift to reload (both without rendering), counting keys tapped
    // since the previous frame looked at them. Space pauses or resumes
    // (time and music), Home restarts at the start, Left/Right jump 5 s
    // back/forward and Page Up/Page Down 30 s (see jumpTo). Then fires every
    // event due by the timer's time, renders all effects and swaps. The frame
    // that reaches the end time still renders, then asks to quit.
    void frame();

    // The start set by setStartTime, else the script's DEMOSTART, or 0
    // without a script.
    int32_t startTime() const;
    bool quitRequested() const { return quit_; }
    bool reloadRequested() const { return reload_; }
    const Script* script() const { return script_.get(); }

    // Called with the frame's time after the effects have rendered and
    // before the swap; the offline renderer reads the picture there.
    void setFrameObserver(std::function<void(int32_t)> observer) { observer_ = std::move(observer); }

    // Sets the show up again from the current script (effects deactivated,
    // setup commands delivered, every effect started at 0), moves the timer
    // and the music to ms; the next frame fires every event up to its time.
    void restartAt(int32_t ms);
    // restartAt ms, kept within 0 and the end time.
    void jumpTo(int32_t ms);
    // After setup: parses the script anew without ending the program on an
    // error. A good script replaces the current one and the show is set up
    // again at the current time, the music playing on (the next frame fires
    // every event up to that time); a broken one leaves the current script
    // playing and gives its error text in failure (false).
    bool reloadKeepingTime(std::string& failure);

private:
    // restartAt without moving the music.
    void setUpAgainAt(int32_t ms);
    void deliverSetup();
    void fireDueEvents(int32_t time);

    GLWindow* window_ = nullptr;
    EffectRegistry* registry_ = nullptr;
    std::string scriptPath_;
    std::unique_ptr<Script> script_;
    size_t cursor_ = 0;
    bool quit_ = false;
    bool reload_ = false;
    int32_t endTime_ = 240000;
    int32_t startOverride_ = -1;
    bool loop_ = false;
    std::function<void(int32_t)> observer_;
};
