#pragma once
// A 3D vector of single-precision floats.
#include <cmath>

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    void set(float x_, float y_, float z_)
    {
        x = x_;
        y = y_;
        z = z_;
    }
    // this := b - a.
    void difference(const Vec3& a, const Vec3& b) { set(b.x - a.x, b.y - a.y, b.z - a.z); }
    void scale(float f) { set(x * f, y * f, z * f); }
    void add(const Vec3& v) { set(x + v.x, y + v.y, z + v.z); }
    float dot(const Vec3& v) const { return x * v.x + y * v.y + z * v.z; }
    // this := a x b.
    void cross(const Vec3& a, const Vec3& b)
    {
        set(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    }
    // Unit length; vectors shorter than sqrt(0.00001) are left as they are.
    void normalize()
    {
        const float squared = dot(*this);
        const float length = squared < 0.00001f ? 1.0f : std::sqrt(squared);
        set(x / length, y / length, z / length);
    }
    // this := t * b + (1 - t) * a.
    void lerp(const Vec3& a, const Vec3& b, float t)
    {
        set(t * b.x + (1.0f - t) * a.x, t * b.y + (1.0f - t) * a.y, t * b.z + (1.0f - t) * a.z);
    }
};
