#pragma once
// Two frame-grab filters: character-cell pixelation and glow.
#include "effects/additive_passes.h"
#include "effects/frame_grab.h"
#include "effects/glow_box.h"

#include <optional>

class Texture;

// The source picture plus two blocky copies of it, 32 and 64 cells across.
class AnsiFilter : public FrameGrabEffect {
public:
    // Makes "AnsiFilter1" (32 x 32) and "AnsiFilter2" (64 x 64), magnified
    // with GL_NEAREST.
    AnsiFilter();
    ~AnsiFilter() override;

    // Nothing: neither the clock nor the source restarts.
    void start(int32_t) override {}
    // The source, then both copies added with the brightness.
    void render(int32_t time) override;
    // Base codes, 70, and 90: brightness := a0 / 100.
    void command(Command c) override;
    void prerender(int32_t time) override;

    float brightness() const { return brightness_; }

private:
    int coarseSize_ = 32;
    int fineSize_ = 64;
    float brightness_ = 0.5f;
    Texture* coarse_ = nullptr;
    Texture* fine_ = nullptr;
};

// The source with a blurred copy of its picture added several times, each
// pass zoomed a little further out from the centre.
class GlowFilter : public FrameGrabEffect {
public:
    // Makes "GlowFilter1" (128 x 128) and "GlowFilter2" (256 x 256), linear
    // and clamped.
    GlowFilter();
    ~GlowFilter() override;

    // The tuning back to intensity 0.5, 5 passes, zoom step -0.01,
    // intensity step 0, no notifications; nothing else restarts.
    void start(int32_t time) override;
    void render(int32_t time) override;
    // Base codes, 70, and 90 (start intensity), 91 (passes, zoom and
    // intensity steps), 92 (notify the source around the grab).
    void command(Command c) override;
    // Grabs the source into the 256 x 256 grab texture.
    void prerender(int32_t time) override;

    int passCount() const { return passCount_; }
    float startIntensity() const { return startIntensity_; }

private:
    void blurPass();
    // The passes, scissored to where they can change the frame; nothing
    // when the blur texture is all zero.
    void glowPasses();
    // The box of the viewport (window coordinates) the passes can change,
    // from the blur texture read back; nothing when it is all zero.
    std::optional<PixelBox> changedBox() const;
    void notifySource(int code, int argument) const;

    AdditivePasses passes_;
    int blurSize_ = 128;
    int grabSize_ = 256;
    Texture* blur_ = nullptr;
    Texture* grabbed_ = nullptr;
    float startIntensity_ = 0.5f;
    int passCount_ = 5;
    float zoomStep_ = -0.01f;
    float intensityStep_ = 0.0f;
    bool notifySource_ = false;
};
