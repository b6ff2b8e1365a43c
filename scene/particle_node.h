#pragma once
// A particle system of a scene file: a place in the scene that particle
// effects hang their sprites on. A node read from a file has no particles,
// so it draws nothing and its update only records the time.
#include "scene/scene_node.h"

class ParticleNode : public SceneNode {
public:
    using SceneNode::SceneNode;
    SceneNode* clone() const override;

    // Advances the particles to time t (scene time units) and remembers t.
    virtual void update(float t) { lastTime_ = static_cast<int>(t); }
    int lastTime() const { return lastTime_; }
    void setLastTime(int t) { lastTime_ = t; }
    float timeDivisor() const { return timeDivisor_; }

protected:
    int lastTime_ = 0;
    float timeDivisor_ = 30.0f;
};
