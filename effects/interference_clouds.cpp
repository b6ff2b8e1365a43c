#include "effects/interference_clouds.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "resources/textures/texture_manager.h"

namespace {

constexpr const char* patternNames[] = {"interf3.jpg", "interf4.png", "interference1.png", "interference2.png"};

// Both backgrounds divide the viewport sides in integers (1 for 640 x 480),
// which stretches them to the screen. A viewport narrower than it is tall
// (or empty) would give an aspect of 0 and a singular projection.
double integerAspect()
{
    if (screenHeight <= 0 || screenWidth < screenHeight)
        return 1.0;
    return static_cast<double>(screenWidth / screenHeight);
}

void setPerspective(double fieldOfView, double farPlane)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, integerAspect(), 1.0, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void releaseIfLoaded(Texture* texture)
{
    if (texture != nullptr)
        TextureManager::releaseTexture(texture);
}

}  // namespace

InterferenceEffect::InterferenceEffect() : square_(std::make_unique<ScreenQuad>(-5.0f, -5.0f, 10.0f, 10.0f))
{
    for (size_t i = 0; i < std::size(patternNames); ++i) {
        pictures_[i] = TextureManager::loadTexture(patternNames[i], "data/images/", GL_TEXTURE_2D);
        current_ = pictures_[i];
    }
}

InterferenceEffect::~InterferenceEffect()
{
    for (Texture* picture : pictures_)
        releaseIfLoaded(picture);
}

const Texture* InterferenceEffect::picture(int number) const
{
    if (number < 1 || number > static_cast<int>(pictures_.size()))
        return nullptr;
    return pictures_[static_cast<size_t>(number - 1)];
}

void InterferenceEffect::select(int number)
{
    if (number >= 1 && number <= 9 && pictures_[static_cast<size_t>(number - 1)] != nullptr)
        current_ = pictures_[static_cast<size_t>(number - 1)];
}

void InterferenceEffect::start(int32_t time)
{
    reset(time);
    duration_ = 30;
    distance_ = 6.0f;
    mode_ = 1;
    current_ = pictures_[0];
}

void InterferenceEffect::update(int32_t time, bool applyViewport)
{
    Effect::update(time, applyViewport);
    setPerspective(65.0, 200.0);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glTranslatef(0.0f, 0.0f, -distance_);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    if (current_ != nullptr)
        current_->bind();
    const float t = progress_;
    switch (mode_) {
    case 1:
    case 4:
        drawFourLayers(t);
        break;
    case 2:
        drawTwoLayers(t);
        break;
    case 3:
        drawThreeLayers(t);
        break;
    default:
        break;
    }
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void InterferenceEffect::drawFourLayers(float t) const
{
    const float d = distance_;
    const float s0 = 0.8f * std::sin(t / 8.0f) + 0.8f;
    const float s1 = 0.8f * std::sin(t / 8.0f + 2.0f) + 0.8f;
    const float s2 = 0.8f * std::sin(t / 6.0f + 3.0f) + 0.8f;
    const float s3 = 0.8f * std::sin(t / 10.0f + 4.0f) + 0.8f;
    auto drawLayer = [this] {
        glColor4f(colorR.get(), colorG.get(), colorB.get(), colorA.get());
        square_->draw();
    };
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);

    glTranslatef(-0.2f, 0.0f, 0.0f);
    glRotatef(4.0f * t, 0.0f, 0.0f, 1.0f);
    glScalef(s0, s0, s0);
    glTranslatef(0.2f, 0.0f, 0.0f);
    drawLayer();
    glLoadIdentity();

    glTranslatef(-0.2f, 0.0f, -d);
    glScalef(s1, s1, s1);
    glTranslatef(-0.2f, 0.0f, 0.0f);
    glRotatef(-7.2f * t, 0.0f, 0.0f, 1.0f);
    glTranslatef(-0.1f, 0.0f, 0.0f);
    drawLayer();
    glLoadIdentity();

    glTranslatef(0.1f, 0.5f, -d);
    glScalef(s2, s2, s2);
    glTranslatef(0.1f, 0.5f, 0.0f);
    glRotatef(-6.4f * t, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.1f, -0.5f, 0.0f);
    drawLayer();
    glLoadIdentity();

    glTranslatef(0.1f, 0.5f, -d);
    glScalef(s3, s3, s3);
    glTranslatef(0.1f, 0.5f, 0.0f);
    glRotatef(6.4f * t, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.1f, 0.5f, 0.0f);
    drawLayer();

    glDisable(GL_BLEND);
}

void InterferenceEffect::drawFlatLayer(float x, float y, float z, float degrees, float scale) const
{
    glTranslatef(x, y, z);
    glRotatef(degrees, 0.0f, 0.0f, 1.0f);
    glScalef(scale, scale, 1.0f);
    square_->draw();
}

void InterferenceEffect::drawTwoLayers(float t) const
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    drawFlatLayer(0.6f, -0.6f, 0.0f, t, 0.1f * std::sin(t / 2.0f) + 0.9f);
    glLoadIdentity();
    drawFlatLayer(0.6f, -0.6f, -distance_, -1.8f * t, 1.0f);
    glDisable(GL_BLEND);
}

void InterferenceEffect::drawThreeLayers(float t) const
{
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // The first layer stays at the depth the set-up translated to.
    drawFlatLayer(0.3f, -0.3f, 0.0f, t, 0.1f * std::sin(t / 12.0f) + 0.7f);
    glLoadIdentity();
    drawFlatLayer(-0.3f, 0.2f, -distance_, -1.8f * t, 0.2f * std::cos(t / 15.0f) + 0.7f);
    glLoadIdentity();
    drawFlatLayer(-0.2f, -0.2f, -distance_, -1.8f * t, 0.11f * std::cos(t / 17.0f) + 0.7f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
}

void InterferenceEffect::command(Command c)
{
    Effect::command(c);
    switch (c.code) {
    case 90:
        mode_ = c.args[0];
        select(c.args[0]);
        break;
    case 91:
        select(c.args[0]);
        break;
    default:
        break;
    }
}

CloudsEffect::CloudsEffect()
    : texture_(TextureManager::loadTexture("clouds.png", "data/textures/", GL_TEXTURE_2D)),
      grid_(std::make_unique<GridMesh>(50, 35.0f, 20.0f, 0.0f, 0.0f, 4.0f, 4.0f))
{
    grid_->setUseColours(true);
}

CloudsEffect::~CloudsEffect() { releaseIfLoaded(texture_); }

void CloudsEffect::start(int32_t time)
{
    divisor_ = 60.0f;
    animationStart_ = time;
}

void CloudsEffect::deform(float a)
{
    const int n = grid_->size();
    const auto nf = static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
        const float f = static_cast<float>(i) / nf;
        const float shiftX = std::sin(7.0f * f + a / 5.0f);
        const float waveX = std::sin(17.0f * f + a / 7.0f);
        const float waveY = std::cos(7.0f * f + std::sin(a / 9.0f));
        for (int j = 0; j < n; ++j) {
            GridVertex& v = grid_->vertex(i, j);
            const float x0 = v.restX, y0 = v.restY;
            v.x = x0 + shiftX;
            v.y = y0 + std::cos(9.0f * static_cast<float>(j) / nf + a / 9.0f);
            v.z = 1.1f * (x0 * waveX + y0 * waveY);
            const float g = 0.5f * v.z + 1.0f;
            v.r = v.g = v.b = g;
            v.a = 1.0f;
        }
    }
}

void CloudsEffect::update(int32_t time, bool applyViewport)
{
    Effect::update(time, applyViewport);
    // A divisor of 0 would make every vertex infinite or NaN; the clouds
    // stay where they were instead.
    if (divisor_ != 0.0f)
        lastA_ = static_cast<float>(time - animationStart_) / divisor_;
    const float a = lastA_;

    glEnable(GL_TEXTURE_2D);
    if (texture_ != nullptr)
        texture_->bind();
    setPerspective(45.0, 2000.0);
    glRotatef(-20.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -7.0f);

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glRotatef(a, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);

    glEnable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    deform(a);
    glDepthMask(GL_FALSE);
    grid_->draw(false);
    glDepthMask(GL_TRUE);

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void CloudsEffect::command(Command c)
{
    Effect::command(c);
    if (c.code == 10)
        divisor_ = static_cast<float>(c.args[0]);
}
