#pragma once
// Two effects on Catmull-Rom splines: swaying translucent ribbons, and
// glowing lines in 3D whose heads keep running along random splines.
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
    // shared trail colour to green.
    Trail(int segments, Texture* texture);

    // Places all six points anew inside the box.
    void scatter();
    // Moves the head on by e (a new segment begins past each whole 1, the
    // rest carried into it) and draws the line and the head sprite.
    void advanceAndDraw(float e);

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
    float step_;
    Vec3 head_;
    Vec3 box_{1.0f, 1.0f, 8.0f};
    Texture* texture_;
    ScreenQuad sprite_{-0.03f, -0.03f, 0.06f, 0.06f};
};

// Forty trails turning slowly about the view axis.
class TrailsEffect : public Effect {
public:
    // Loads "dot3.png" from "data/textures/" for the heads.
    TrailsEffect();

    // reset, duration 500, angle 0, every trail scattered.
    void start(int32_t time) override;
    void update(int32_t time, bool applyViewport) override;
    void render(int32_t time) override { update(time, true); }
    // Base codes, then 90 (trail count), 91 (sprite size), 92 (step), 93
    // (box).
    void command(Command c) override;

    size_t trailCount() const { return trails_.size(); }
    const Trail& trail(size_t i) const { return *trails_[i]; }
    float angle() const { return angle_; }

private:
    std::vector<std::unique_ptr<Trail>> trails_;
    Texture* texture_ = nullptr;
    float angle_ = 0.0f;
};
