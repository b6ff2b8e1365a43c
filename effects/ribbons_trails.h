#pragma once
// Two effects on Catmull-Rom splines: swaying translucent ribbons, and
// glowing lines in 3D whose heads keep running along random splines.
#include <cstdint>
#include <memory>
#include <vector>

#include "resources/draw/screen_quad.h"
#include "scene/vec3.h"
#include "timeline/effect.h"

class Texture;

// The Catmull-Rom value between q1 (s 0) and q2 (s 1).
float catmullRom(float q0, float q1, float q2, float q3, float s);

// Twenty tapering ribbons across the screen, swaying with the progress.
class RibbonsEffect : public Effect {
public:
    static constexpr int ribbonCount = 20;

    // reset, step 0.05, duration 400, a translucent sky blue.
    void start(int32_t time) override;
    // Draws every ribbon for the current progress.
    void update(int32_t time, bool applyViewport) override;
    void render(int32_t time) override { update(time, true); }

private:
    float step_ = 0.05f;
};

// One line of TrailsEffect: a spline through six random points whose head
// runs along the newest segment.
class Trail {
public:
    // Points at the origin, step 1 / segments, box (1, 1, 8); sets the
    // shared trail colour to green. The points are drawn from random
    // sequences named by `seed` and how many points were placed since the
    // last scatter, so that a trail at a time is the same however the show
    // got there.
    Trail(int segments, Texture* texture, uint32_t seed = 0);

    // Places all six points anew inside the box, the head at the start of
    // the newest segment.
    void scatter();
    // The head back at the start of its segment, the step and box as made.
    void rewind();
    // Moves the head on by ms of a segment of segmentMs (a new segment
    // begins past each whole segment, the rest carried into it; nothing
    // moves for a segmentMs of 0 or less) and draws the line and the head
    // sprite.
    void advanceAndDraw(int32_t ms, int32_t segmentMs);

    void setSpriteSize(float s) { sprite_.setRect(-s / 2.0f, -s / 2.0f, s, s); }
    void setStep(float step) { step_ = step; }
    void setBox(float x, float y, float z) { box_ = Vec3(x, y, z); }
    const Vec3& head() const { return head_; }
    const Vec3& point(int k) const { return points_[static_cast<size_t>(k)]; }
    float param() const { return param_; }

    // The colour every trail draws with (red, green, blue, and a fourth
    // value); TrailsEffect sets red, green and blue each frame.
    static float colour[4];

private:
    void place(int k);
    // Emits the spline through points first..first+3 from s = from to `to`,
    // with alpha = s + alphaOffset; returns the last position.
    Vec3 emitSegment(int first, float from, float to, float alphaOffset) const;

    Vec3 points_[6];
    float param_ = 0.0f;
    int64_t intoSegment_ = 0;  // ms into the newest segment
    float step_;
    float madeStep_;  // 1 / segments, as made
    Vec3 head_;
    Vec3 box_{1.0f, 1.0f, 8.0f};
    Texture* texture_;
    uint32_t seed_ = 0;
    uint32_t placed_ = 0;  // points placed since the last scatter
    ScreenQuad sprite_{-0.03f, -0.03f, 0.06f, 0.06f};
};

// Forty trails turning slowly about the view axis.
class TrailsEffect : public Effect {
public:
    // Loads "dot3.png" from "data/textures/" for the heads.
    TrailsEffect();

    // reset, duration 500, angle 0, every trail scattered.
    void start(int32_t time) override;
    // Forty trails as made, none advanced.
    void rewind() override;
    void update(int32_t time, bool applyViewport) override;
    void render(int32_t time) override { update(time, true); }
    // Base codes, then 90 (trail count), 91 (sprite size), 92 (step), 93
    // (box).
    void command(Command c) override;

    size_t trailCount() const { return trails_.size(); }
    const Trail& trail(size_t i) const { return *trails_[i]; }
    float angle() const { return static_cast<float>(angle_); }

private:
    std::vector<std::unique_ptr<Trail>> trails_;
    Texture* texture_ = nullptr;
    double angle_ = 0.0;
};
