#include "effects/ribbons_trails.h"
#include "effects/unit_square.h"

#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "scene/matrix4.h"
#include "timeline/demo_random.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

struct Ribbon {
    float freq1, freq2, freq3, freq4, freq5;
    float amp1, amp2, amp3, amp4;
    float base0, base1, base2, base3, base4, baseX3;
};

struct RibbonTable {
    Ribbon ribbons[RibbonsEffect::ribbonCount];

    RibbonTable()
    {
        for (Ribbon& r : ribbons) {
            const float r1 = demoRandomUnit();
            demoRandomUnit();  // r2 and r3 are drawn and unused: they keep the
            demoRandomUnit();  // random sequence where the show expects it
            const float r4 = demoRandomUnit();
            const float r5 = demoRandomUnit();
            r.freq1 = 0.2f;
            r.freq2 = 0.33f;
            r.freq3 = 0.5f;
            r.freq4 = 1.0f;
            r.freq5 = r5 * 0.2f + 0.1f;
            r.amp1 = 0.0f;
            r.amp2 = (r1 - 0.5f) * 0.6f;
            r.amp3 = 0.3f;
            r.amp4 = 0.3f;
            r.base0 = r.base1 = r.base2 = r.base3 = r.base4 = 0.5f;
            r.baseX3 = r4 * 0.2f + 1.0f - 0.1f;
        }
    }
};

// Filled during program start-up, before the window opens, like every run.
const RibbonTable ribbonTable;

struct Point2 {
    float x, y;
};

struct StripState {
    Point2 previous{0.0f, 0.5f};
    float previousHeight = 0.025f;
    float height = 0.025f;
};

void drawRibbonSegment(const Point2* p, int k, float widthFactor, float step, StripState& strip)
{
    for (float a = 0.0f; a < 1.0f;) {
        const float x = catmullRom(p[k].x, p[k + 1].x, p[k + 2].x, p[k + 3].x, a);
        const float y = catmullRom(p[k].y, p[k + 1].y, p[k + 2].y, p[k + 3].y, a);
        glVertex2f(strip.previous.x, strip.previous.y);
        glVertex2f(x, y);
        glVertex2f(x, y + strip.height);
        glVertex2f(strip.previous.x, strip.previous.y + strip.previousHeight);
        strip.previous = {x, y};
        strip.previousHeight = strip.height;
        a += step;
        strip.height = widthFactor / 40.0f - a / 80.0f;
    }
}

}  // namespace

float catmullRom(float q0, float q1, float q2, float q3, float s)
{
    const float s2 = s * s;
    const float s3 = s2 * s;
    return 0.5f * (q0 * (-s3 + 2.0f * s2 - s) + q1 * (3.0f * s3 - 5.0f * s2 + 2.0f) +
                   q2 * (-3.0f * s3 + 4.0f * s2 + s) + q3 * (s3 - s2));
}

void RibbonsEffect::start(int32_t time)
{
    reset(time);
    step_ = 0.05f;
    duration_ = 400;
    colorR.set(27.0f / 255.0f);
    colorG.set(144.0f / 255.0f);
    colorB.set(233.0f / 255.0f);
    colorA.set(0.4f);
}

void RibbonsEffect::update(int32_t time, bool applyViewport)
{
    Effect::update(time, applyViewport);
    loadUnitSquare();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glColor4f(colorR.get(), colorG.get(), colorB.get(), colorA.get());
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    const float t = progress_;
    for (const Ribbon& r : ribbonTable.ribbons) {
        const Point2 p[5] = {
            {-0.5f, r.base0},
            {0.0f, std::sin(t * r.freq1) * r.amp1 + r.base1},
            {0.5f, std::sin(t * r.freq2) * r.amp2 + r.base2},
            {std::sin(t * r.freq5) * 0.2f + r.baseX3, std::cos(t * r.freq3) * r.amp3 + r.base3},
            {1.5f, std::sin(t * r.freq4) * r.amp4 + r.base4},
        };
        StripState strip;
        glBegin(GL_QUADS);
        drawRibbonSegment(p, 0, 1.0f, step_, strip);
        drawRibbonSegment(p, 1, 0.5f, step_, strip);
        glEnd();
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

float Trail::colour[4] = {0.1f, 1.0f, 0.1f, 1.0f};

Trail::Trail(int segments, Texture* texture, uint32_t seed)
    : step_(1.0f / static_cast<float>(segments)), madeStep_(step_), texture_(texture), seed_(seed)
{
    colour[0] = 0.1f;
    colour[1] = 1.0f;
    colour[2] = 0.1f;
    colour[3] = 1.0f;
}

void Trail::place(int k)
{
    RandomSequence random = RandomSequence::keyed(seed_, placed_++);
    const float r1 = random.nextUnit();
    const float r2 = random.nextUnit();
    const float r3 = random.nextUnit();
    points_[k].set(r1 * box_.x - box_.x / 2.0f, r2 * box_.y - box_.y / 2.0f, r3 * box_.z - box_.z);
}

void Trail::rewind()
{
    param_ = 0.0f;
    intoSegment_ = 0;
    step_ = madeStep_;
    box_ = Vec3(1.0f, 1.0f, 8.0f);
    setSpriteSize(0.06f);
}

void Trail::scatter()
{
    // A new trail begins its first segment: what the old one had run of
    // its segment depends on when the last frame fell.
    placed_ = 0;
    intoSegment_ = 0;
    param_ = 0.0f;
    for (int k = 0; k < 6; ++k)
        place(k);
}

Vec3 Trail::emitSegment(int first, float from, float to, float alphaOffset) const
{
    const Vec3* p = points_ + first;
    const auto at = [&](float s) {
        return Vec3(catmullRom(p[0].x, p[1].x, p[2].x, p[3].x, s), catmullRom(p[0].y, p[1].y, p[2].y, p[3].y, s),
                    catmullRom(p[0].z, p[1].z, p[2].z, p[3].z, s));
    };
    to = std::min(to, 1.0f);
    // An infinite or non-positive step emits only the end vertex.
    if (step_ > 0.0f && std::isfinite(step_)) {
        for (float s = from; s < to; s += step_) {
            const Vec3 v = at(s);
            glColor4f(colour[0], colour[1], colour[2], s + alphaOffset);
            glVertex3f(v.x, v.y, v.z);
        }
    }
    const Vec3 end = at(to);
    glColor4f(colour[0], colour[1], colour[2], to + alphaOffset);
    glVertex3f(end.x, end.y, end.z);
    return end;
}

void Trail::advanceAndDraw(int32_t ms, int32_t segmentMs)
{
    // Whole ms are counted, not fractions of a segment, so that a segment
    // ends at the same demo time however the frames divide it. One new
    // point per whole segment passed, the overshoot kept; past six segments
    // in one step every point is new anyway, and the rest of the count only
    // keeps the points' sequence where straight playback has it.
    if (segmentMs > 0) {
        intoSegment_ = std::max<int64_t>(0, intoSegment_ + ms);
        while (intoSegment_ > segmentMs) {
            intoSegment_ -= segmentMs;
            for (int k = 0; k < 5; ++k)
                points_[k] = points_[k + 1];
            place(5);
        }
        param_ = static_cast<float>(intoSegment_) / static_cast<float>(segmentMs);
    }
    glBegin(GL_LINE_STRIP);
    emitSegment(0, param_, 1.0f, -param_);
    emitSegment(1, 0.0f, 1.0f, 1.0f - param_);
    head_ = emitSegment(2, 0.0f, param_, 1.0f);
    glEnd();

    // The sprite faces the camera: drawn in eye space at the head's place.
    Matrix4 modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    const Vec3 eye = modelview.transformPoint(head_);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    if (texture_ != nullptr)
        texture_->bind();
    glTranslatef(eye.x, eye.y, eye.z);
    sprite_.draw();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

TrailsEffect::TrailsEffect() : texture_(TextureManager::loadTexture("dot3.png", "data/textures/", GL_TEXTURE_2D))
{
    for (uint32_t i = 0; i < 40; ++i)
        trails_.push_back(std::make_unique<Trail>(20, texture_, i));
}

void TrailsEffect::start(int32_t time)
{
    reset(time);
    duration_ = 500;
    angle_ = 0.0;
    for (auto& trail : trails_)
        trail->scatter();
}

void TrailsEffect::rewind()
{
    trails_.resize(std::min<size_t>(trails_.size(), 40));
    while (trails_.size() < 40)
        trails_.push_back(std::make_unique<Trail>(20, texture_, static_cast<uint32_t>(trails_.size())));
    for (auto& trail : trails_)
        trail->rewind();
    angle_ = 0.0;
}

void TrailsEffect::command(Command c)
{
    Effect::command(c);
    const int32_t* a = c.args;
    switch (c.code) {
    case 90: {
        const size_t wanted = a[0] > 0 ? static_cast<size_t>(a[0]) : 0;
        while (trails_.size() < wanted)
            trails_.push_back(std::make_unique<Trail>(20, texture_, static_cast<uint32_t>(trails_.size())));
        trails_.resize(wanted);
        break;
    }
    case 91:
        for (auto& trail : trails_)
            trail->setSpriteSize(static_cast<float>(a[0]) / 100.0f);
        break;
    case 92:
        for (auto& trail : trails_)
            trail->setStep(1.0f / static_cast<float>(a[0]));
        break;
    case 93:
        for (auto& trail : trails_)
            trail->setBox(static_cast<float>(a[0]), static_cast<float>(a[1]), static_cast<float>(a[2]));
        break;
    default: break;
    }
}

void TrailsEffect::update(int32_t time, bool applyViewport)
{
    Effect::update(time, applyViewport);
    glEnable(GL_LINE_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.3333, 1.0, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -2.0f);
    // In double: a frame rate's many small steps and another's few large
    // ones turn the trails alike.
    angle_ += duration_ != 0 ? static_cast<double>(frameDelta_) / duration_ : 0.0;
    glRotated(angle_, 0.0, 0.0, 1.0);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    Trail::colour[0] = colorR.get();
    Trail::colour[1] = colorG.get();
    Trail::colour[2] = colorB.get();
    for (auto& trail : trails_)
        trail->advanceAndDraw(frameDelta_, duration_);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}
