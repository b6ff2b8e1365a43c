#include "effects/image_layers.h"
#include "effects/unit_square.h"

#include <GL/gl.h>

#include "resources/textures/texture_manager.h"

namespace {

constexpr int32_t layerDuration = 1000;

}  // namespace

ImageLayer::ImageLayer()
    : images_(1, nullptr),
      particleTexture_(TextureManager::loadTexture("particle1.png", "data/textures/", GL_TEXTURE_2D))
{
    duration_ = layerDuration;
}

void ImageLayer::start(int32_t time)
{
    BlendEffect::start(time);
    scrollU_ = 0.0f;
    scrollV_ = 0.0f;
    scrollDivisor_ = 1000;
    speeds_ = {};
    angles_ = {};
    stretch_ = true;
    dissolve_ = false;
}

void ImageLayer::rewind()
{
    images_.assign(1, nullptr);
    imageIndex_ = 0;
    current_ = nullptr;
    particles_.reset();
    dissolve_ = false;
}

void ImageLayer::command(Command c)
{
    switch (c.code) {
    case 30:
        imageIndex_ = (imageIndex_ + 1) % static_cast<int>(images_.size());
        current_ = images_[static_cast<size_t>(imageIndex_)];
        break;
    case 31:
        if (Texture* loaded = TextureManager::loadTexture(c.text.c_str(), nullptr, GL_TEXTURE_2D))
            images_.push_back(loaded);
        break;
    case 90: stretch_ = c.args[0] != 0; break;
    case 91:
        dissolve_ = c.args[0] != 0;
        if (dissolve_)
            particles_ = std::make_unique<ImageParticles>(current_, particleTexture_);
        break;
    case 110: current_ = TextureManager::loadTexture(c.text.c_str(), nullptr, GL_TEXTURE_2D); break;
    case 210:
        scrollU_ = static_cast<float>(c.args[0]);
        scrollV_ = static_cast<float>(c.args[1]);
        break;
    case 211: scrollDivisor_ = c.args[0]; break;
    case 212:
        for (size_t axis = 0; axis < speeds_.size(); ++axis)
            speeds_[axis] = static_cast<float>(c.args[axis]);
        break;
    default: break;
    }
    BlendEffect::command(c);
}

bool ImageLayer::growing() const
{
    return viewW.get() != viewW.getTarget() || viewH.get() != viewH.getTarget();
}

void ImageLayer::textureExtent(float& u, float& v) const
{
    u = 1.0f;
    v = 1.0f;
    if (stretch_)
        return;
    if (viewW.getTarget() > 0.0f)
        u = viewW.get() / viewW.getTarget();
    if (viewH.getTarget() > 0.0f)
        v = viewH.get() / viewH.getTarget();
}

void ImageLayer::update(int32_t time, bool applyViewport)
{
    if (current_ == nullptr)
        return;
    BlendEffect::update(time, false);
    if (applyViewport)
        glViewport(0, 0, screenWidth, screenHeight);

    // Command 10 may set the duration to 0 (or below); the particles then
    // stand still and the layer does not turn rather than dividing by zero.
    // The particle step is whole durations per frame, in 64 bits so that no
    // quotient overflows.
    const float dt = duration_ > 0 ? static_cast<float>(int64_t{frameDelta_} / duration_) : 0.0f;
    for (size_t axis = 0; axis < angles_.size(); ++axis) {
        angles_[axis] = duration_ != 0 ? static_cast<float>(time) * speeds_[axis] / static_cast<float>(duration_)
                                       : 0.0f;
    }

    pushUnitSquare();

    // A divisor of 0 would send the picture to infinity; it stands still.
    const bool scrolling = (scrollU_ != 0.0f || scrollV_ != 0.0f) && scrollDivisor_ != 0;
    if (scrolling) {
        glMatrixMode(GL_TEXTURE);
        glPushMatrix();
        glLoadIdentity();
        glTranslated(static_cast<double>(time) * scrollU_ / scrollDivisor_,
                     static_cast<double>(time) * scrollV_ / scrollDivisor_, 0.0);
        glMatrixMode(GL_MODELVIEW);
    }

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    beginBlend();
    glEnable(GL_TEXTURE_2D);
    current_->bind();

    const float x = viewX.get();
    const float y = viewY.get();
    const float w = viewW.get();
    const float h = viewH.get();
    if (angles_[0] != 0.0f || angles_[1] != 0.0f || angles_[2] != 0.0f) {
        glTranslatef(x + w / 2.0f, y + h / 2.0f, 0.0f);
        glRotatef(angles_[0], 1.0f, 0.0f, 0.0f);
        glRotatef(angles_[1], 0.0f, 1.0f, 0.0f);
        glRotatef(angles_[2], 0.0f, 0.0f, 1.0f);
        glTranslatef(-(x + w / 2.0f), -(y + h / 2.0f), 0.0f);
    }

    float u = 1.0f;
    float v = 1.0f;
    textureExtent(u, v);
    if (growing() && dissolve_ && particles_)
        particles_->release(u, x, y, viewW.getTarget(), viewH.getTarget());

    glColor4f(colorR.get(), colorG.get(), colorB.get(), colorA.get());
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x, y);
    glTexCoord2f(u, 0.0f);
    glVertex2f(x + w, y);
    glTexCoord2f(u, v);
    glVertex2f(x + w, y + h);
    glTexCoord2f(0.0f, v);
    glVertex2f(x, y + h);
    glEnd();

    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    if (dissolve_ && particles_)
        particles_->updateAndDraw(dt);

    if (scrolling) {
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
    }
    popUnitSquare();
    endBlend();
}

LayerGroup::LayerGroup()
{
    for (auto& layer : layers_)
        layer = std::make_unique<ImageLayer>();
}

void LayerGroup::start(int32_t time)
{
    for (auto& layer : layers_)
        layer->start(time);
}

void LayerGroup::rewind()
{
    for (auto& layer : layers_) {
        layer->rewind();
        layer->deactivate();
    }
    selected_ = -1;
}

void LayerGroup::render(int32_t time)
{
    for (auto& layer : layers_) {
        if (layer->isActive())
            layer->render(time);
    }
}

void LayerGroup::command(Command c)
{
    ImageLayer* selected = selected_ >= 0 ? layers_[static_cast<size_t>(selected_)].get() : nullptr;
    switch (c.code) {
    case 97:
        if (selected != nullptr)
            selected->activate();
        break;
    case 98:
        if (selected != nullptr)
            selected->deactivate();
        break;
    case 99:
        if (c.args[0] >= 0 && c.args[0] < layerCount) {
            selected_ = c.args[0];
            selected = layers_[static_cast<size_t>(selected_)].get();
        }
        break;
    default: break;
    }
    if (selected != nullptr)
        selected->command(c);
}
