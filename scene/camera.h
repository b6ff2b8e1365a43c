#pragma once
// A scene camera: perspective projection and a look-at view from its own
// node position (the parent chain is not applied) towards its target.
#include "scene/scene_node.h"

class Camera : public SceneNode {
public:
    // Field of view 45 degrees, aspect 1.333, near 1, far 2000, at (0, 0, 5).
    Camera(int32_t id, const std::string& name);
    SceneNode* clone() const override;

    void setFov(float degrees) { fov_ = degrees; }
    void setAspect(float aspect) { aspect_ = aspect; }
    void setNear(float distance) { near_ = distance; }
    void setFar(float distance) { far_ = distance; }
    float fov() const { return fov_; }
    float aspect() const { return aspect_; }
    float nearDistance() const { return near_; }
    float farDistance() const { return far_; }

    // The id the scene resolves into a target after loading.
    void setTargetId(int32_t id) { targetId_ = id; }
    int32_t targetId() const { return targetId_; }
    void setTarget(SceneNode* node) { target_ = node; }
    SceneNode* target() const { return target_; }

    // Loads the projection; with a target multiplies the look-at view onto
    // the current modelview (without one the modelview is left alone).
    // Leaves the matrix mode at GL_MODELVIEW.
    void apply() const;

private:
    float fov_ = 45.0f;
    float aspect_ = 1.333f;
    float near_ = 1.0f;
    float far_ = 2000.0f;
    int32_t targetId_ = 0;
    SceneNode* target_ = nullptr;
};
