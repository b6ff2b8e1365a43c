#pragma once
// A 4 x 4 matrix in OpenGL's column order: element (column c, row r) lives at
// index c * 4 + r, so glLoadMatrixf takes it unchanged.
#include <cmath>

#include "scene/vec3.h"

// Degrees from the script into the radians of the math types.
inline float degreesToRadians(float degrees) { return degrees / 360.0f * 2.0f * 3.1415927f; }

struct Matrix4 {
    float m[16];

    Matrix4() { identity(); }

    void identity()
    {
        for (float& element : m)
            element = 0.0f;
        m[0] = m[5] = m[10] = m[15] = 1.0f;
    }
    void set(int column, int row, float v) { m[column * 4 + row] = v; }
    float get(int column, int row) const { return m[column * 4 + row]; }

    // Rx(ax) * Ry(ay) * Rz(az) for column vectors: z turns first. Radians.
    void eulerMatrix(float ax, float ay, float az)
    {
        const float cx = std::cos(ax), sx = std::sin(ax);
        const float cy = std::cos(ay), sy = std::sin(ay);
        const float cz = std::cos(az), sz = std::sin(az);
        identity();
        set(0, 0, cy * cz);
        set(1, 0, -sz * cy);
        set(2, 0, sy);
        set(0, 1, sx * sy * cz + cx * sz);
        set(1, 1, -sx * sy * sz + cx * cz);
        set(2, 1, -sx * cy);
        set(0, 2, -cx * sy * cz + sx * sz);
        set(1, 2, cx * sy * sz + sx * cz);
        set(2, 2, cx * cy);
    }

    // The point (v, 1) through the matrix, without the perspective divide.
    Vec3 transformPoint(const Vec3& v) const
    {
        return Vec3(get(0, 0) * v.x + get(1, 0) * v.y + get(2, 0) * v.z + get(3, 0),
                    get(0, 1) * v.x + get(1, 1) * v.y + get(2, 1) * v.z + get(3, 1),
                    get(0, 2) * v.x + get(1, 2) * v.y + get(2, 2) * v.z + get(3, 2));
    }
};
