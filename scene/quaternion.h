#pragma once
// A rotation quaternion as the scene files store it: x, y, z, w. Constructed
// as all zeros, which turns into the identity matrix.
#include <cmath>

#include "scene/matrix4.h"

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    void set(float x_, float y_, float z_, float w_)
    {
        x = x_;
        y = y_;
        z = z_;
        w = w_;
    }

    // The rotation in the scene files' convention, which is the transpose
    // of the textbook matrix of the same quaternion. Scale-invariant.
    Matrix4 toMatrix() const
    {
        const float n = x * x + y * y + z * z + w * w;
        const float s = n != 0.0f ? 2.0f / n : 1.0f;
        Matrix4 r;
        r.set(0, 0, 1.0f - s * (y * y + z * z));
        r.set(0, 1, s * (x * y - w * z));
        r.set(0, 2, s * (x * z + w * y));
        r.set(1, 0, s * (x * y + w * z));
        r.set(1, 1, 1.0f - s * (x * x + z * z));
        r.set(1, 2, s * (y * z - w * x));
        r.set(2, 0, s * (x * z - w * y));
        r.set(2, 1, s * (y * z + w * x));
        r.set(2, 2, 1.0f - s * (x * x + y * y));
        return r;
    }

    // Spherical interpolation from q1 (t 0) to q2 (t 1) with extra half
    // turns; nearly equal quaternions interpolate linearly. Not normalised.
    static Quaternion slerp(const Quaternion& q1, const Quaternion& q2, float t, int spins)
    {
        const float c = q1.x * q2.x + q1.y * q2.y + q1.z * q2.z + q1.w * q2.w;
        const float k = std::fabs(c);
        float s0 = 1.0f - t;
        float s1 = t;
        if (1.0f - k >= 0.000001f) {
            const float omega = std::acos(k);
            const float phi = omega + static_cast<float>(spins) * 3.1415927f;
            const float sinOmega = std::sin(omega);
            s0 = std::sin(omega - t * phi) / sinOmega;
            s1 = std::sin(t * phi) / sinOmega;
        }
        if (c < 0.0f)
            s1 = -s1;
        Quaternion r;
        r.set(s0 * q1.x + s1 * q2.x, s0 * q1.y + s1 * q2.y, s0 * q1.z + s1 * q2.z, s0 * q1.w + s1 * q2.w);
        return r;
    }
};
