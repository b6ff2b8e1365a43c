#include "scene/glow_flare.h"

#include <GL/glext.h>

#include <algorithm>

#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "shell/extensions.h"
#include "timeline/demo_random.h"

GlowFlare::GlowFlare(int32_t id, const std::string& name) : SceneNode(id, name)
{
    if (Extensions::has("GL_ARB_occlusion_query") && ext::glGenQueriesARB != nullptr)
        ext::glGenQueriesARB(1, &query_);
    texture_ = TextureManager::loadTexture("dot.png", "data/textures/", GL_TEXTURE_2D);
}

GlowFlare::~GlowFlare()
{
    if (query_ != 0 && ext::glDeleteQueriesARB != nullptr)
        ext::glDeleteQueriesARB(1, &query_);
}

SceneNode* GlowFlare::clone() const
{
    auto* copy = new GlowFlare(id(), name());
    copyFieldsTo(*copy);
    copy->lastTime_ = lastTime_;
    copy->intensity_ = intensity_;
    cloneChildrenTo(*copy);
    return copy;
}

void GlowFlare::draw() { glGetFloatv(GL_MODELVIEW_MATRIX, modelview_.m); }

void GlowFlare::advance(float t)
{
    timeStep_ = (t - lastTime_) / 1000.0f;
    lastTime_ = t;
    particle_.update(timeStep_);
}

void GlowFlare::renderGlow()
{
    if (!visible())
        return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.01f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    particle_.size = 2.0f;
    batch_.build(modelview_, 1, &particle_);

    GLuint samples = 1;
    if (query_ != 0) {
        // The tip is tested each frame and the answer taken a frame later,
        // when that frame is drawn: asking at once would wait until
        // everything drawn so far is. Only the first test is waited for.
        const bool answered = queryPending_;
        if (answered)
            ext::glGetQueryObjectuivARB(query_, GL_QUERY_RESULT_ARB, &samples);
        ext::glBeginQueryARB(GL_SAMPLES_PASSED_ARB, query_);
        batch_.draw(1, 0, false);
        ext::glEndQueryARB(GL_SAMPLES_PASSED_ARB);
        queryPending_ = true;
        if (!answered)
            ext::glGetQueryObjectuivARB(query_, GL_QUERY_RESULT_ARB, &samples);
    }
    if (samples > 0)
        intensity_ = 0.8f;
    else
        intensity_ = std::max(0.0f, intensity_ - timeStep_ * 200.0f);

    if (intensity_ > 0.0f) {
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        if (texture_ != nullptr)
            texture_->bind();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        const float c = demoRandomUnit() * 0.2f + intensity_;
        for (int i = 0; i < 6; ++i) {
            glColor4f(1.0f, 1.0f, 1.0f, c - static_cast<float>(i) * c / 6.0f);
            particle_.size = static_cast<float>(i);
            batch_.build(modelview_, 1, &particle_);
            batch_.draw(1, 0, false);
        }
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glPopMatrix();
}
