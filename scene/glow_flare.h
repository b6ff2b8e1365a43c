#pragma once
// The flickering glow at the welder's tip: one textured sprite in several
// layers, shown at full strength while an occlusion query sees the tip and
// fading out quickly once the tip is hidden.
#include <GL/gl.h>

#include "resources/draw/particle.h"
#include "resources/draw/quad_batch.h"
#include "scene/scene_node.h"

class Texture;

class GlowFlare : public SceneNode {
public:
    // Makes the occlusion query when the driver has them and loads
    // "dot.png" from "data/textures/". Needs a current GL context.
    GlowFlare(int32_t id, const std::string& name);
    // Deletes the query.
    ~GlowFlare() override;
    SceneNode* clone() const override;

    // Only remembers where the traversal has put the node (the modelview).
    void draw() override;
    // Time step = (t - last time) / 1000; ages the sprite by it.
    void advance(float t);
    // Tests the tip's visibility and draws the glow in the camera's frame,
    // as strong as the test before this one found the tip visible (the
    // first test's own answer the first time); nothing while the node is
    // hidden (its captured modelview would be a stale one then).
    void renderGlow();

    float intensity() const { return intensity_; }
    void setLastTime(float t) { lastTime_ = t; }
    const Matrix4& capturedModelview() const { return modelview_; }

private:
    Particle particle_;
    QuadBatch batch_{1};
    GLuint query_ = 0;
    bool queryPending_ = false;  // the query holds a test whose answer was not taken
    Texture* texture_ = nullptr;
    Matrix4 modelview_;
    float lastTime_ = 0.0f;
    float timeStep_ = 0.0f;
    float intensity_ = 0.0f;
};
