#include "effects/ansi_glow_filters.h"
#include "effects/glow_box.h"
#include "effects/unit_square.h"

#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"

#include <vector>

namespace {

Texture* createGrabTexture(const char* name, int size, GLint magnification, bool clamp)
{
    Texture* texture = TextureManager::createTexture(name, size, size, GL_TEXTURE_2D, GL_RGBA);
    if (texture == nullptr)
        return nullptr;
    texture->bind();
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(magnification));
    if (clamp) {
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    }
    return texture;
}

// A quad over (0, 0)-(size, size) whose corners carry the given texture
// coordinates and greys, in the order (0, size), (size, size), (size, 0),
// (0, 0) of the screen.
void drawShadedQuad(float size, const float texture[4][2], const float grey[4])
{
    const float corners[4][2] = {{0.0f, size}, {size, size}, {size, 0.0f}, {0.0f, 0.0f}};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glColor3f(grey[i], grey[i], grey[i]);
        glTexCoord2f(texture[i][0], texture[i][1]);
        glVertex2f(corners[i][0], corners[i][1]);
    }
    glEnd();
}

}  // namespace

AnsiFilter::AnsiFilter()
    : coarse_(createGrabTexture("AnsiFilter1", 32, GL_NEAREST, false)),
      fine_(createGrabTexture("AnsiFilter2", 64, GL_NEAREST, false))
{
}

AnsiFilter::~AnsiFilter()
{
    TextureManager::releaseTexture(coarse_);
    TextureManager::releaseTexture(fine_);
}

void AnsiFilter::command(Command c)
{
    FrameGrabEffect::command(c);
    if (c.code == 90)
        brightness_ = static_cast<float>(c.args[0]) / 100.0f;
}

void AnsiFilter::prerender(int32_t time)
{
    if (source_ == nullptr || coarse_ == nullptr || fine_ == nullptr)
        return;
    grab(coarseSize_, coarseSize_, coarse_, time);
    grab(fineSize_, fineSize_, fine_, time);
}

void AnsiFilter::render(int32_t time)
{
    if (source_ == nullptr || coarse_ == nullptr || fine_ == nullptr)
        return;
    source_->render(time);
    addOverlay(coarse_, brightness_);
    addOverlay(fine_, brightness_);
}

GlowFilter::GlowFilter()
    : blur_(createGrabTexture("GlowFilter1", 128, GL_LINEAR, true)),
      grabbed_(createGrabTexture("GlowFilter2", 256, GL_LINEAR, true))
{
}

GlowFilter::~GlowFilter()
{
    TextureManager::releaseTexture(blur_);
    TextureManager::releaseTexture(grabbed_);
}

void GlowFilter::start(int32_t)
{
    startIntensity_ = 0.5f;
    passCount_ = 5;
    zoomStep_ = -0.01f;
    intensityStep_ = 0.0f;
    notifySource_ = false;
}

void GlowFilter::command(Command c)
{
    FrameGrabEffect::command(c);
    switch (c.code) {
    case 90: startIntensity_ = static_cast<float>(c.args[0]) / 255.0f; break;
    case 91:
        passCount_ = c.args[0];
        zoomStep_ = static_cast<float>(c.args[1]) / 1000.0f;
        intensityStep_ = static_cast<float>(c.args[2]) / 100.0f;
        break;
    case 92: notifySource_ = c.args[0] != 0; break;
    default: break;
    }
}

void GlowFilter::notifySource(int code, int argument) const
{
    Command c;
    c.code = code;
    c.args[0] = argument;
    c.argCount = 1;
    source_->command(c);
}

void GlowFilter::prerender(int32_t time)
{
    if (source_ == nullptr || grabbed_ == nullptr)
        return;
    GLfloat clearColour[4] = {};
    {
        GrabCorner corner(grabSize_, grabSize_);
        if (notifySource_) {
            notifySource(90, 0);
            notifySource(302, 0);
            notifySource(301, 0);
            notifySource(90, 1);
        }
        // The highlights are grabbed on black, whatever the background is.
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        source_->update(time, false);
        copyCornerInto(grabbed_, grabSize_, grabSize_);
    }
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glClear(GL_COLOR_BUFFER_BIT);
    if (notifySource_)
        notifySource(301, 1);
}

void GlowFilter::blurPass()
{
    const auto s = static_cast<float>(blurSize_);
    GrabCorner corner(blurSize_, blurSize_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, s, s, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    grabbed_->bind();
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    const float plain[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const float white[4] = {1, 1, 1, 1};
    drawShadedQuad(s, plain, white);

    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    const float d = 1.0f / s;
    const struct {
        float du, dv;
        float grey[4];
    } shifted[4] = {
        {d, 0, {0.55f, 0, 0, 0.55f}},
        {-d, 0, {0, 0.55f, 0.55f, 0}},
        {0, -d, {0, 0, 0.55f, 0.55f}},
        {0, d, {0, 0, 0.55f, 0.55f}},
    };
    for (const auto& quad : shifted) {
        float texture[4][2];
        for (int i = 0; i < 4; ++i) {
            texture[i][0] = plain[i][0] + quad.du;
            texture[i][1] = plain[i][1] + quad.dv;
        }
        drawShadedQuad(s, texture, quad.grey);
    }
    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
    copyCornerInto(blur_, blurSize_, blurSize_);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

std::optional<PixelBox> GlowFilter::changedBox() const
{
    std::vector<uint8_t> texels(static_cast<size_t>(blurSize_) * static_cast<size_t>(blurSize_) * 4);
    blur_->bind();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    const std::optional<TexelBounds> bounds = nonZeroTexels(texels.data(), blurSize_, blurSize_);
    if (!bounds)
        return std::nullopt;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    PixelBox box = glowPassBox(*bounds, blurSize_, viewport[2], viewport[3], passCount_, zoomStep_);
    if (box.width <= 0 || box.height <= 0)
        return std::nullopt;
    box.x += viewport[0];
    box.y += viewport[1];
    return box;
}

void GlowFilter::glowPasses()
{
    if (passCount_ <= 0)
        return;
    const std::optional<PixelBox> box = changedBox();
    if (!box)
        return;
    glScissor(box->x, box->y, box->width, box->height);
    glEnable(GL_SCISSOR_TEST);
    passes_.begin();
    float c = startIntensity_;
    float z = 0.0f;
    for (int pass = 0; pass < passCount_; ++pass) {
        loadUnitSquare();
        glDepthMask(GL_FALSE);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        blur_->bind();
        glColor3f(c, c, c);
        glBegin(GL_QUADS);
        glTexCoord2f(-z, -z);
        glVertex2f(0.0f, 1.0f);
        glTexCoord2f(1.0f + z, -z);
        glVertex2f(1.0f, 1.0f);
        glTexCoord2f(1.0f + z, 1.0f + z);
        glVertex2f(1.0f, 0.0f);
        glTexCoord2f(-z, 1.0f + z);
        glVertex2f(0.0f, 0.0f);
        glEnd();
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glColor3f(1.0f, 1.0f, 1.0f);
        c += intensityStep_;
        z += zoomStep_;
    }
    passes_.end();
    glDisable(GL_SCISSOR_TEST);
}

void GlowFilter::render(int32_t time)
{
    if (source_ == nullptr || blur_ == nullptr || grabbed_ == nullptr)
        return;
    blurPass();
    source_->render(time);
    glowPasses();
}
