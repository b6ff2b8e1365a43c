#include "timeline/anim_param.h"

#include <cmath>
#include <numbers>

void AnimParam::set(float v)
{
    value_ = v;
    target_ = v;
    from_ = v;
    delta_ = 0.0f;
}

void AnimParam::moveTo(float v)
{
    from_ = value_;
    target_ = v;
    delta_ = v - value_;
}

float AnimParam::evaluate(int32_t t)
{
    const float now = static_cast<float>(t);
    if (now < startTime_ || delta_ == 0.0f)
        return value_;
    if (!(duration_ > 0.0f)) {
        // A transition with no length (or a nonsensical one) would divide by
        // zero and leave NaN in the value for good: it arrives at once.
        value_ = target_;
        delta_ = 0.0f;
        return value_;
    }
    const float f = (now - startTime_) / duration_;
    if (f >= 1.0f) {
        // Past its end every curve has arrived, whether or not a frame fell
        // on the end itself (a sine or a Catmull-Rom curve would turn back).
        value_ = target_;
        delta_ = 0.0f;
        return value_;
    }
    float s = 0.0f;
    switch (curve_) {
    case linear: s = f; break;
    case quadratic: s = f * f; break;
    case sine: s = std::sin(f * std::numbers::pi_v<float> / 2.0f); break;
    case catmullRom: {
        const float f2 = f * f;
        const float f3 = f2 * f;
        s = ((-f3 + 2.0f * f2 - f) * tangent0_ + (-3.0f * f3 + 4.0f * f2 + f) + (f3 - f2) * tangent1_) / 2.0f;
        break;
    }
    default: return value_;
    }
    value_ = from_ + delta_ * s;
    const float remaining = delta_ > 0.0f ? target_ - value_ : value_ - target_;
    if (remaining < 0.000001f) {
        value_ = target_;
        delta_ = 0.0f;
    }
    return value_;
}
