// Depth-map shadows from the scene's shadow caster light.
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include "resources/targets/render_target.h"
#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "scene/scene.h"
#include "shell/extensions.h"
#include "shell/glwindow.h"

namespace {

constexpr int targetSize = 1024;
constexpr int copySize = 512;
constexpr int shadowUnit = 3;

// One shadow target for the whole process, made by the first scene that
// asks for shadows and kept to the end.
RenderTarget& shadowTarget()
{
    static RenderTarget target;
    return target;
}

Texture* shadowTexture()
{
    return TextureManager::createTexture("ShadowMapTexture", copySize, copySize, GL_DEPTH_COMPONENT, GL_RGBA);
}

void setShadowTextureParameters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC_ARB, GL_LEQUAL);
}

}  // namespace

void Scene::enableShadows(bool on)
{
    // The shadow comparison lives on unit 3; without it the scene simply
    // draws unshadowed.
    if (Extensions::textureUnits() < 4)
        return;
    shadows_ = on;
    if (on) {
        if (depthTextureSupport_) {
            RenderTarget& target = shadowTarget();
            if (!target.isCreated()) {
                target.create(targetSize, targetSize, true);
                target.begin();
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                target.end();
            }
            target.bindTexImage(RenderTarget::depthComponent);
            setShadowTextureParameters();
            target.releaseTexImage(RenderTarget::depthComponent);
        } else if (Texture* texture = shadowTexture()) {
            texture->bind();
            setShadowTextureParameters();
        }
    }
    if (objects_ != nullptr)
        objects_->setShadowReceiver(on);
}

void Scene::shadowPass()
{
    Light* caster = shadowCaster();
    // A caster without a target has no direction to look along.
    if (caster == nullptr || caster->target() == nullptr || currentCamera_ == nullptr)
        return;
    RenderTarget& target = shadowTarget();
    const bool direct = depthTextureSupport_ && target.isCreated();
    GLint viewport[4] = {0, 0, 0, 0};
    if (direct) {
        target.begin();
    } else {
        glGetIntegerv(GL_VIEWPORT, viewport);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glViewport(0, 0, copySize, copySize);
        glScissor(0, 0, copySize, copySize);
        glEnable(GL_SCISSOR_TEST);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(currentCamera_->fov(), currentCamera_->aspect(), currentCamera_->nearDistance(),
                   currentCamera_->farDistance());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const Vec3& eye = caster->position();
    const Vec3& at = caster->target()->position();
    gluLookAt(eye.x, eye.y, eye.z, at.x, at.y, at.z, 0.0, 1.0, 0.0);

    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_FRONT);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.1f, 1.0f);
    if (objects_ != nullptr)
        objects_->renderDepthTree();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glCullFace(GL_BACK);

    if (!direct) {
        if (Texture* texture = shadowTexture()) {
            texture->bind();
            copyFrameDepthInto(GL_TEXTURE_2D, 0, 0, copySize, copySize);
        }
        glClear(GL_DEPTH_BUFFER_BIT);
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        glDisable(GL_SCISSOR_TEST);
    }

    // Texture matrix: bias x light projection x light view, read back.
    Matrix4 projection, view, m;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.5f, 0.5f, 0.5f);
    glScalef(0.5f, 0.5f, 0.5f);
    glMultMatrixf(projection.m);
    glMultMatrixf(view.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.m);
    glPopMatrix();
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            eyePlanes_[row][column] = m.get(column, row);
    if (direct)
        target.end();
}

void Scene::shadowCoordinatesOn()
{
    Light* caster = shadowCaster();
    if (caster == nullptr || caster->target() == nullptr)
        return;
    selectTextureUnit(shadowUnit);
    const GLenum coordinates[4] = {GL_S, GL_T, GL_R, GL_Q};
    const GLenum generation[4] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q};
    for (int i = 0; i < 4; ++i) {
        glTexGenfv(coordinates[i], GL_EYE_PLANE, eyePlanes_[i]);
        glTexGeni(coordinates[i], GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
        glEnable(generation[i]);
    }
    RenderTarget& target = shadowTarget();
    if (depthTextureSupport_ && target.isCreated())
        target.bindTexImage(RenderTarget::depthComponent);
    else if (Texture* texture = shadowTexture())
        texture->bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
    selectTextureUnit(0);
}

void Scene::shadowCoordinatesOff()
{
    Light* caster = shadowCaster();
    if (caster == nullptr || caster->target() == nullptr)
        return;
    selectTextureUnit(shadowUnit);
    for (GLenum g : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q})
        glDisable(g);
    selectTextureUnit(0);
    RenderTarget& target = shadowTarget();
    if (depthTextureSupport_ && target.isCreated()) {
        selectTextureUnit(shadowUnit);
        target.releaseTexImage(RenderTarget::depthComponent);
        selectTextureUnit(0);
    }
}
