#include "scene/sparks.h"

#include <GL/gl.h>

#include <algorithm>

#include "timeline/demo_random.h"

SparkBounds& sparkBounds()
{
    static SparkBounds bounds;
    return bounds;
}

void Spark::setPosition(const Vec3& p)
{
    position = p;
    trail.fill(p);
}

void Spark::update(float dt)
{
    Vec3 step = acceleration;
    step.scale(dt);
    velocity.add(step);
    step = velocity;
    step.scale(dt);
    position.add(step);
    const SparkBounds& box = sparkBounds();
    const bool onBench = position.y < box.top && position.x > box.centreX - box.halfX &&
                         position.x < box.centreX + box.halfX && position.z > box.centreZ - box.halfZ &&
                         position.z < box.centreZ + box.halfZ;
    if (position.y < box.floor || onBench)
        velocity.y = -0.9f * velocity.y;
    std::rotate(trail.begin(), trail.begin() + 1, trail.end());
    trail.back() = position;
    life += dt * fadeRate;
}

SparkEmitter::SparkEmitter(int32_t id, const std::string& name, int capacity)
    : ParticleNode(id, name), sparks_(static_cast<size_t>(std::max(capacity, 0)))
{
    free_.reserve(sparks_.size());
    active_.reserve(sparks_.size());
    for (int i = static_cast<int>(sparks_.size()) - 1; i >= 0; --i)
        free_.push_back(i);
}

SceneNode* SparkEmitter::clone() const
{
    auto* copy = new SparkEmitter(id(), name(), capacity());
    copyFieldsTo(*copy);
    copy->origin_ = origin_;
    copy->spread_ = spread_;
    copy->acceleration_ = acceleration_;
    copy->fade_ = fade_;
    copy->divisor_ = divisor_;
    copy->clock_ = clock_;
    copy->texture_ = texture_;
    cloneChildrenTo(*copy);
    return copy;
}

void SparkEmitter::draw() { glGetFloatv(GL_MODELVIEW_MATRIX, modelview_.m); }

void SparkEmitter::update(float t) { advance(t, 1000.0 / 60.0); }

void SparkEmitter::restartClock(float t)
{
    clock_ = t;
    setLastTime(static_cast<int>(t));
    emissionOwed_ = 0.0;
}

void SparkEmitter::advance(float t, double elapsedMs)
{
    // A divisor of 0 would stop time for good; treat it as 1.
    const float divisor = static_cast<float>(divisor_ != 0 ? divisor_ : 1);
    const float dt = (t - clock_) / divisor;
    clock_ = t;
    lastTime_ = static_cast<int>(t);
    for (size_t i = 0; i < active_.size();) {
        Spark& spark = sparks_[static_cast<size_t>(active_[i])];
        spark.update(dt);
        if (spark.life < 0.0f) {
            free_.push_back(active_[i]);
            active_.erase(active_.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    if (!emitting_) {
        emissionOwed_ = 0.0;
        return;
    }
    emissionOwed_ += std::max(0.0, elapsedMs) * 60.0 / 1000.0;
    // A long gap (a jump) emits no more than a pool's worth.
    emissionOwed_ = std::min(emissionOwed_, static_cast<double>(capacity()) / sparksPerStep + 1.0);
    for (; emissionOwed_ >= 1.0; emissionOwed_ -= 1.0)
        emit();
}

void SparkEmitter::emit()
{
    constexpr int burst = sparksPerStep;
    if (activeCount() + burst >= capacity())
        return;
    for (int n = 0; n < burst && !free_.empty(); ++n) {
        const int index = free_.back();
        free_.pop_back();
        Spark& spark = sparks_[static_cast<size_t>(index)];
        const float r1 = demoRandomUnit(), r2 = demoRandomUnit(), r3 = demoRandomUnit(), r4 = demoRandomUnit();
        spark.setPosition(origin_);
        spark.velocity.set((r1 - 0.5f) * spread_.x, r2 * spread_.y, (r3 - 0.5f) * spread_.z);
        spark.acceleration = acceleration_;
        spark.life = r4 * 0.2f + 0.8f;
        spark.fadeRate = -fade_;
        active_.push_back(index);
    }
}

void SparkEmitter::reset()
{
    for (int index : active_)
        free_.push_back(index);
    active_.clear();
}

void SparkEmitter::renderSparks()
{
    if (!visible())
        return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    origin_.set(modelview_.m[12], modelview_.m[13], modelview_.m[14]);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    // The trails are untextured. The glow, drawn just before, usually leaves
    // texturing off, but not while it is hidden.
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_LINE_SMOOTH);
    for (int index : active_) {
        const Spark& spark = sparks_[static_cast<size_t>(index)];
        glColor4f(0.902f, 0.678f, 0.333f, spark.life);
        glBegin(GL_LINE_STRIP);
        for (const Vec3& p : spark.trail)
            glVertex3f(p.x, p.y, p.z);
        glEnd();
    }
    glDisable(GL_LINE_SMOOTH);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glPopMatrix();
}
