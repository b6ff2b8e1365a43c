#pragma once
// The base of everything the timeline shows: a clock, eight animated
// parameters (viewport and colour) and the commands that act on them.
#include <cstdint>

#include "timeline/anim_param.h"
#include "timeline/command.h"

// Size of the GL viewport when the last effect was constructed (the window,
// 640 x 480, while the effect table is built).
extern int screenWidth;
extern int screenHeight;

class Effect {
public:
    // Parameters at their initial values (viewport 0, 0, 1, 1, colour
    // white and opaque), inactive, duration 100; reads the viewport size
    // into screenWidth and screenHeight. Needs a current GL context.
    Effect();
    virtual ~Effect() = default;
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // Restarts the effect at demo time `time`. Every class decides what a
    // restart resets; most call reset first.
    virtual void start(int32_t time) = 0;
    // Advances the clock and the parameters to `time`; with applyViewport
    // the GL viewport becomes the effect's rectangle.
    virtual void update(int32_t time, bool applyViewport);
    // Draws the effect at `time`; the base only updates.
    virtual void render(int32_t time) { update(time, true); }
    // Handles one script command; unknown codes are ignored.
    virtual void command(Command c);
    // Called for every active effect each frame before the others render.
    virtual void prerender(int32_t) {}
    // Back to the state the effect had right after construction, before any
    // command: what commands gathered (lists, inner layers started) and
    // what frames built up (grabbed echoes) is dropped, so that setting the
    // show up again gives the state a first setup gave. The base keeps
    // nothing of the kind.
    virtual void rewind() {}

    // Parameters back to their initial values and the clock started at time.
    void reset(int32_t time);
    void activate() { active_ = true; }
    void deactivate() { active_ = false; }
    bool isActive() const { return active_; }
    // Freezes the clock at time; a second pause keeps the first time.
    void pause(int32_t time);
    // Lets a frozen clock run on from where it stopped.
    void resume(int32_t time);
    void shiftStart(int32_t delta) { startTime_ += delta; }

    int32_t startTime() const { return startTime_; }
    int32_t lastTime() const { return lastTime_; }
    int32_t frameDelta() const { return frameDelta_; }
    int32_t localTime() const { return localTime_; }
    int32_t duration() const { return duration_; }
    float progress() const { return progress_; }
    bool paused() const { return paused_; }

    enum class Parameter { viewX, viewY, viewW, viewH, colorR, colorG, colorB, colorA };
    const AnimParam& parameter(Parameter which) const;

protected:
    bool active_ = false;
    AnimParam viewX, viewY, viewW, viewH;
    AnimParam colorR, colorG, colorB, colorA;
    int32_t startTime_ = 0;
    int32_t lastTime_ = 0;
    int32_t frameDelta_ = 0;
    int32_t localTime_ = 0;
    int32_t duration_ = 100;
    float progress_ = 0.0f;
    bool paused_ = false;
    int32_t pauseTime_ = 0;
};
