#pragma once
// An animated float: a value that can move to a target along a curve over a
// span of demo time.
#include <cstdint>

class AnimParam {
public:
    enum Curve : int32_t { linear = 1, quadratic = 2, sine = 3, catmullRom = 4 };

    // Jumps to v: no transition runs afterwards.
    void set(float v);
    // Begins a transition from the current value to v; the value itself
    // does not change until the transition's start time.
    void moveTo(float v);
    void setStartTime(int32_t t) { startTime_ = static_cast<float>(t); }
    void setDuration(float d) { duration_ = d; }
    void setCurve(int32_t c) { curve_ = c; }
    // Outer control points of the Catmull-Rom curve, before 0 and after 1.
    void setTangents(float a, float b)
    {
        tangent0_ = a;
        tangent1_ = b;
    }

    // Advances the transition to demo time t and returns the value. The
    // transition ends when the value is within 0.000001 of the target or
    // beyond it, or once its duration has passed, whatever the curve; the
    // value then becomes the target. A transition whose
    // duration is not positive reaches its target at its start time.
    float evaluate(int32_t t);
    float get() const { return value_; }
    float getTarget() const { return target_; }
    bool moving() const { return delta_ != 0.0f; }
    int32_t curve() const { return curve_; }

private:
    float value_ = 0.0f;
    float target_ = 0.0f;
    float from_ = 0.0f;
    float delta_ = 0.0f;
    float duration_ = 0.0f;
    float startTime_ = 0.0f;
    int32_t curve_ = linear;
    float tangent0_ = 0.0f;
    float tangent1_ = 1.0f;
};
