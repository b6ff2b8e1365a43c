#include "scene/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

Camera::Camera(int32_t id, const std::string& name) : SceneNode(id, name) { setPosition(0.0f, 0.0f, 5.0f); }

SceneNode* Camera::clone() const
{
    auto* copy = new Camera(id(), name());
    copyFieldsTo(*copy);
    copy->fov_ = fov_;
    copy->aspect_ = aspect_;
    copy->near_ = near_;
    copy->far_ = far_;
    copy->targetId_ = targetId_;
    copy->target_ = target_;
    cloneChildrenTo(*copy);
    return copy;
}

void Camera::apply() const
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov_, aspect_, near_, far_);
    glMatrixMode(GL_MODELVIEW);
    if (target_ == nullptr)
        return;
    const Vec3& eye = position();
    const Vec3& at = target_->position();
    gluLookAt(eye.x, eye.y, eye.z, at.x, at.y, at.z, 0.0, 1.0, 0.0);
}
