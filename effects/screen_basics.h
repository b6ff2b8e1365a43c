#pragma once
// Effects that clear or cover the whole screen: the background colour, a
// black fade, a white flash, and the loading bar shown while effects are built.
#include "timeline/effect.h"

// The background: clears colour, depth and stencil with its colour, which
// changes only through commands.
class ClearEffect : public Effect {
public:
    // Colour and opacity 0, and the GL clear colour with them.
    void start(int32_t time) override;
    void render(int32_t time) override;
    // After the base table: the GL clear colour := the colour parameters.
    void command(Command c) override;
};

// A black quad whose opacity runs linearly in time (codes 3, 4, 6, 7).
class FadeEffect : public Effect {
public:
    FadeEffect();
    void start(int32_t time) override;
    // Transparent, no fade running.
    void rewind() override;
    // While active: opacity (time - fadeStart) * rate + startAlpha, drawn
    // when above 0.
    void render(int32_t time) override;
    void command(Command c) override;
    float alpha() const { return alpha_; }

private:
    int32_t fadeStart_ = 0;
    float startAlpha_ = 0.0f;
    float rate_ = 0.0f;
    float alpha_ = 0.0f;
};

// A white quad that fades out over fadeLength ms: once (code 1), every
// period ms (code 2: at the command's due time and whole periods after it,
// whatever the frames in between), or not until the next start (code 8).
class FlashEffect : public Effect {
public:
    FlashEffect();
    void start(int32_t time) override;
    // No period, the fade length as made, nothing showing.
    void rewind() override;
    void render(int32_t time) override;
    void command(Command c) override;
    float level() const { return level_; }

private:
    int32_t flashStart_ = 0;
    int32_t periodStart_ = 0;
    float period_ = 0.0f;
    int32_t fadeLength_ = 500;
    float level_ = 0.0f;
};

// The progress bar of start-up; render's time argument is a percentage.
class LoadingBar : public Effect {
public:
    void start(int32_t time) override;
    // Clears the screen and draws the frame and the bar at value percent.
    void update(int32_t value, bool applyViewport) override;
    void render(int32_t value) override { update(value, true); }

private:
    float fraction_ = 0.0f;
};
