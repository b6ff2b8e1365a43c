#include "effects/beat_effects.h"
#include "effects/unit_square.h"

#include "resources/draw/screen_quad.h"
#include "resources/textures/texture_manager.h"
#include "shell/music.h"
#include "timeline/demo_random.h"
#include "timeline/reference_rate.h"
#include "timeline/registry.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

constexpr int bins = BeatCounter::spectrumBins;

Command beatCommand(int code, int32_t value)
{
    Command c;
    c.code = code;
    c.args[0] = value;
    c.argCount = 1;
    return c;
}

}  // namespace

BeatDetector::BeatDetector(SpectrumSource& source, EffectRegistry& registry) : source_(source), registry_(registry) {}

void BeatDetector::start(int32_t)
{
    source_.activate();
    counter_.restart();
    targets_.clear();
}

bool BeatDetector::step(int32_t time)
{
    const float* s = source_.spectrum(time);
    if (s == nullptr)
        return false;
    lastSpectrum_ = s;
    if (counter_.look(s)) {
        for (Effect* target : targets_)
            target->command(beatCommand(400, time));
    }
    return true;
}

void BeatDetector::render(int32_t time)
{
    const StepSpan steps = counter_.stepsFor(time);
    bool looked = false;
    for (int64_t k = steps.first; k <= steps.last; ++k)
        looked = step(referenceStepTime(k)) || looked;
    if (!looked)
        return;
    if (showSpectrum_)
        drawSpectrum(lastSpectrum_, counter_.lastSum(), counter_.lastAverage());
    for (Effect* target : targets_) {
        target->command(beatCommand(402, static_cast<int32_t>(counter_.lastSum())));
        target->command(beatCommand(401, static_cast<int32_t>(counter_.lastAverage())));
    }
}

void BeatDetector::command(Command c)
{
    Effect::command(c);
    switch (c.code) {
    case 72:
        if (Effect* effect = registry_.get(c.args[0]))
            targets_.push_back(effect);
        break;
    case 73: {
        Effect* effect = registry_.get(c.args[0]);
        const auto found = std::find(targets_.begin(), targets_.end(), effect);
        if (effect != nullptr && found != targets_.end())
            targets_.erase(found);
        break;
    }
    case 90:
        showSpectrum_ = c.args[0] != 0;
        break;
    default:
        break;
    }
}

void BeatDetector::drawSpectrum(const float* s, float sum, float average) const
{
    loadUnitSquare();
    glDisable(GL_BLEND);
    glBegin(GL_LINES);
    for (int i = 0; i < bins; ++i) {
        const float x = static_cast<float>(i) / bins;
        glColor3f(0.0f, 1.0f, 0.0f);
        glVertex2f(x, 1.0f);
        glColor3f(s[i], 1.0f - s[i], 0.0f);
        glVertex2f(x, 1.0f - s[i]);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    glVertex2f(0.0f, 0.5f);
    glVertex2f(average / 20.0f, 0.5f);
    glVertex2f(0.0f, 0.3f);
    glVertex2f(sum / 20.0f, 0.3f);
    glEnd();
}

NoiseEffect::NoiseEffect() : pixels_(static_cast<size_t>(size) * size * 4)
{
    colorA.set(0.5f);
    const char* names[5] = {"noise1", "noise2", "noise3", "noise4", "noise5"};
    for (int i = 0; i < 5; ++i) {
        Texture* texture = TextureManager::createTexture(names[i], size, size, GL_TEXTURE_2D, GL_RGBA);
        if (texture != nullptr) {
            texture->bind();
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        }
        (i < 4 ? frames_[static_cast<size_t>(i)] : scratch_) = texture;
    }
    for (int i = 0; i < 4; ++i) {
        fill();
        index_ = (index_ + 1) % 4;
    }
    current_ = frames_[static_cast<size_t>(index_)];
}

NoiseEffect::~NoiseEffect() = default;

void NoiseEffect::randomise(size_t firstPixel, size_t count)
{
    for (size_t k = firstPixel; k < firstPixel + count; ++k) {
        const auto g = static_cast<unsigned char>(random_.nextUnit() * 255.0f);
        unsigned char* p = &pixels_[k * 4];
        p[0] = p[1] = p[2] = g;
        p[3] = 255;
    }
}

void NoiseEffect::fill()
{
    const size_t all = static_cast<size_t>(size) * size;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (!streaming_) {
        randomise(0, all);
        current_ = frames_[static_cast<size_t>(index_)];
        if (current_ != nullptr) {
            current_->bind();
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
        }
        return;
    }
    rowOffset_ += size / 4;
    cursor_ += all / 4;
    if (cursor_ == all) {
        cursor_ = 0;
        rowOffset_ = 0;
    }
    randomise(cursor_, all / 4);
    if (scratch_ != nullptr) {
        scratch_->bind();
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, rowOffset_, size, size / 4, GL_RGBA, GL_UNSIGNED_BYTE,
                        &pixels_[cursor_ * 4]);
    }
    if (rowOffset_ != 0) {
        index_ = (index_ + 1) % 4;
        current_ = frames_[static_cast<size_t>(index_)];
    } else {
        std::swap(frames_[static_cast<size_t>(index_)], scratch_);
    }
}

void NoiseEffect::rewind()
{
    streaming_ = false;
    lastStep_ = -1;
}

void NoiseEffect::start(int32_t)
{
    colorA.set(0.5f);
    alpha_ = 0.5f;
    gain_ = 1.0f;
}

void NoiseEffect::render(int32_t time)
{
    BlendEffect::render(time);
    const int64_t step = referenceStepAt(time);
    if (streaming_) {
        // A first frame, a jump back or a long gap streams one quarter; a
        // frame that spans several steps streams one per step.
        const int64_t passed = lastStep_ >= 0 && step >= lastStep_ ? step - lastStep_ : 1;
        for (int64_t k = std::min<int64_t>(passed, 4); k > 0; --k)
            fill();
    }
    lastStep_ = step;
    loadUnitSquare();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(colorR.get(), colorG.get(), colorB.get(), alpha_);
    if (current_ != nullptr)
        current_->bind();
    glEnable(GL_TEXTURE_2D);
    // Blending at opacity 0 leaves every pixel as it was; the state above
    // stays set, as later effects of the frame may draw with it.
    if (alpha_ > 0.0f) {
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(0.0f, 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(1.0f, 0.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(1.0f, 1.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(0.0f, 1.0f);
        glEnd();
    } else {
        glTexCoord2f(0.0f, 1.0f);  // the quad's last coordinate stays current
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void NoiseEffect::command(Command c)
{
    BlendEffect::command(c);
    switch (c.code) {
    case 90:
        streaming_ = c.args[0] != 0;
        break;
    case 91:
        gain_ = static_cast<float>(c.args[0]) / 100000.0f;
        break;
    case 118:
    case 201:
        alpha_ = colorA.get();
        break;
    case 402: {
        const float loudness = static_cast<float>(c.args[0]);
        alpha_ = std::min(1.0f, colorA.get() + loudness * loudness * gain_);
        break;
    }
    default:
        break;
    }
}

InvertEffect::InvertEffect() : quad_(std::make_unique<UnitQuad>()) {}

InvertEffect::~InvertEffect() = default;

void InvertEffect::start(int32_t)
{
    for (AnimParam* colour : {&colorR, &colorG, &colorB})
        colour->set(0.0f);
}

void InvertEffect::render(int32_t time)
{
    Effect::render(time);
    loadUnitSquare();
    glColor4f(colorR.get(), colorG.get(), colorB.get(), 1.0f);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ONE_MINUS_SRC_COLOR);
    // Inverting by black leaves the colours as they were (only the frame's
    // alpha, which nothing shows, would be inverted); the state above stays
    // set, as later effects of the frame may draw with it.
    if (colorR.get() > 0.0f || colorG.get() > 0.0f || colorB.get() > 0.0f)
        quad_->draw();
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

void InvertEffect::command(Command c)
{
    Effect::command(c);
    if (c.code != 400 || colorR.get() > 0.0f)
        return;
    // The colour starts far above 1, so the screen stays fully inverted
    // for nearly the whole 100 ms before it returns.
    for (AnimParam* colour : {&colorR, &colorG, &colorB}) {
        colour->set(255.0f);
        colour->moveTo(0.0f);
        colour->setStartTime(c.args[0]);
        colour->setDuration(100.0f);
    }
}
