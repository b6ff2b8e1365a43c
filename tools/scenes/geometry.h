#pragma once
// Small vector and rotation helpers for building scenes, in the writer's
// record types. Rotations are built as textbook quaternions (a rotation by
// `angle` radians about `axis`, counter-clockwise looking down the axis) and
// turned into the file's convention only when stored.
#include <cmath>

#include "tools/scenes/scene_writer.h"

namespace scenegen {

using scenefile::Float3;
using scenefile::Float4;

constexpr float pi = 3.14159265f;

inline Float3 operator+(Float3 a, Float3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Float3 operator-(Float3 a, Float3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Float3 operator*(Float3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(Float3 a, Float3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Float3 cross(Float3 a, Float3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Float3 a) { return std::sqrt(dot(a, a)); }
inline Float3 normalized(Float3 a)
{
    const float l = length(a);
    return l > 0.0f ? a * (1.0f / l) : a;
}
inline Float3 mix(Float3 a, Float3 b, float t) { return a + (b - a) * t; }

inline float radians(float degrees) { return degrees * pi / 180.0f; }
inline float smoothstep01(float t)
{
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

// Textbook quaternion (x, y, z, w) of a rotation.
struct Rotation {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

inline Rotation axisAngle(Float3 axis, float angle)
{
    const Float3 a = normalized(axis);
    const float s = std::sin(angle * 0.5f);
    return {a.x * s, a.y * s, a.z * s, std::cos(angle * 0.5f)};
}

// a then b applied to column vectors: the rotation b * a.
inline Rotation then(Rotation a, Rotation b)
{
    return {b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y, b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
            b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w, b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z};
}

inline Float3 rotate(Rotation q, Float3 v)
{
    const Float3 u{q.x, q.y, q.z};
    const Float3 t = cross(u, v) * 2.0f;
    return v + t * q.w + cross(u, t);
}

// The file stores the conjugate (its matrix is the transpose of the textbook one).
inline Float4 toFile(Rotation q) { return {-q.x, -q.y, -q.z, q.w}; }

// Rotation turning +X towards `forward` about the vertical only (yaw).
inline Rotation yawTowards(Float3 forward) { return axisAngle({0, 1, 0}, std::atan2(-forward.z, forward.x)); }

// Deterministic pseudo-random numbers in [0, 1), the same on every run.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    float next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / 16777216.0f;
    }
    float range(float lo, float hi) { return lo + (hi - lo) * next(); }

private:
    uint32_t state_;
};

}  // namespace scenegen
