#pragma once
// The keys of the key-framed controllers, as the scene files store them.
#include <cstdint>

#include "scene/quaternion.h"
#include "scene/vec3.h"

struct PositionKey {
    int16_t frame = 0;
    Vec3 position;
    float tension = 0.0f;
    float continuity = 0.0f;
    float bias = 0.0f;
    float easeTo = 0.0f;
    float easeFrom = 0.0f;
};

struct RotationKey {
    int16_t frame = 0;
    Quaternion rotation;
};
