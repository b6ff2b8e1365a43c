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

    // Parses the script anew, delivers its setup commands to the effects
    // present, starts every effect at 0 and sets the timer's offset to the
    // script's start time. Script errors are reported by the parser.
    void setup(GLWindow& window, EffectRegistry& registry);
    // One frame: nothing while minimised; Escape asks to quit and Control
    // with Shift to reload (both without rendering), counting keys tapped
    // since the previous frame looked at them; otherwise fires every
    // event due by the timer's time, renders all effects and swaps. The frame
    // that reaches the end time still renders, then asks to quit.
    void frame();

    // The script's start time, or 0 without a script.
    int32_t startTime() const;
    bool quitRequested() const { return quit_; }
    bool reloadRequested() const { return reload_; }
    const Script* script() const { return script_.get(); }

    // Called with the frame's time after the effects have rendered and
    // before the swap; the offline renderer reads the picture there.
    void setFrameObserver(std::function<void(int32_t)> observer) { observer_ = std::move(observer); }

private:
    void fireDueEvents(int32_t time);

    GLWindow* window_ = nullptr;
    EffectRegistry* registry_ = nullptr;
    std::string scriptPath_;
    std::unique_ptr<Script> script_;
    size_t cursor_ = 0;
    bool quit_ = false;
    bool reload_ = false;
    int32_t endTime_ = 240000;
    std::function<void(int32_t)> observer_;
};
