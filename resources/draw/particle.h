#pragma once
// One sprite of a particle effect.
#include <algorithm>

#include "scene/color4.h"
#include "scene/vec3.h"

struct Particle {
    Vec3 position;
    Vec3 startPosition;
    Vec3 velocity;
    float size = 1.0f;
    Color4 colour;
    float life = 1.0f;  // kept in 0..1
    float fadeRate = 0.0f;
    float angle = 0.0f;
    float angularSpeed = 0.0f;
    bool active = true;

    // Moves, turns and ages the particle by dt.
    void update(float dt)
    {
        position.x += dt * velocity.x;
        position.y += dt * velocity.y;
        position.z += dt * velocity.z;
        angle += dt * angularSpeed;
        life = std::clamp(life + dt * fadeRate, 0.0f, 1.0f);
    }
};
