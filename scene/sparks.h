#pragma once
// Welding sparks: bouncing points with glowing trails, thrown from the
// welder's tip in the camera's frame. All sparks are made once and move
// between a free pool and the active list.
#include <array>
#include <vector>

#include "scene/matrix4.h"
#include "scene/particle_node.h"
#include "scene/vec3.h"

class Texture;

// The box the sparks bounce on (eye space, shared by every spark): a bench
// top with its centre and half extents in x and z, and the floor.
struct SparkBounds {
    float centreX = -5.8f;
    float top = -30.0f;
    float centreZ = -175.0f;
    float halfX = 25.0f;
    float halfZ = 25.0f;
    float floor = -40.0f;
};

// The one bounce box of the process. Every Spark construction puts it back
// to its starting values; commands 94 to 96 of the welder change it.
SparkBounds& sparkBounds();

struct Spark {
    static constexpr int trailLength = 10;

    Spark() { sparkBounds() = SparkBounds(); }

    // Position and every trail point at p.
    void setPosition(const Vec3& p);
    // Moves by dt: velocity, then position, a bounce off the floor or the
    // bench top (vertical speed reversed and damped to 0.9, the position
    // left as it is), the trail, and life + dt x fade rate.
    void update(float dt);

    Vec3 position;
    Vec3 velocity;
    Vec3 acceleration;
    float life = 0.0f;
    float fadeRate = 0.0f;
    std::array<Vec3, trailLength> trail;  // oldest first
};

class SparkEmitter : public ParticleNode {
public:
    static constexpr int defaultCapacity = 2000;

    // Makes every spark at once; none active, not emitting. Fade and time
    // divisor start at 1 and 30 until the script sets them.
    SparkEmitter(int32_t id, const std::string& name, int capacity = defaultCapacity);
    SceneNode* clone() const override;

    // Only remembers where the traversal has put the node (the modelview).
    void draw() override;
    // Sparks emitted while emitting, per 1000 / 60 ms of demo time.
    static constexpr int sparksPerStep = 10;

    // advance(t, 1000 / 60): one step of the show's reference rate.
    void update(float t) override;
    // Ages the active sparks by (t - last time) / divisor, the times kept
    // with their fractions, and returns dead ones (life below 0) to the
    // pool; then, when emitting, emits sparksPerStep for each 1000 / 60 ms
    // of elapsedMs, the remainder carried to the next call (none is carried
    // while not emitting).
    void advance(float t, double elapsedMs);
    // The clock's last time := t; nothing owed to emission.
    void restartClock(float t);
    // Ten sparks from the origin, when active + 10 stays below capacity.
    void emit();
    // Every active spark back to the pool.
    void reset();
    // The trails as untextured lines in the camera's frame (only when
    // visible).
    void renderSparks();

    void setSpread(const Vec3& v) { spread_ = v; }
    void setAcceleration(const Vec3& v) { acceleration_ = v; }
    void setFade(float f) { fade_ = f; }
    void setDivisor(int d) { divisor_ = d; }
    void setEmitting(bool on) { emitting_ = on; }
    void setTexture(Texture* t) { texture_ = t; }
    void setOrigin(const Vec3& v) { origin_ = v; }
    bool emitting() const { return emitting_; }
    int activeCount() const { return static_cast<int>(active_.size()); }
    int capacity() const { return static_cast<int>(sparks_.size()); }
    const Spark& activeSpark(int i) const { return sparks_[static_cast<size_t>(active_[static_cast<size_t>(i)])]; }
    const Vec3& origin() const { return origin_; }
    const Matrix4& capturedModelview() const { return modelview_; }

private:
    std::vector<Spark> sparks_;
    std::vector<int> free_;
    std::vector<int> active_;
    Matrix4 modelview_;
    Vec3 origin_;
    Vec3 spread_;
    Vec3 acceleration_;
    float fade_ = 1.0f;
    int divisor_ = 30;
    float clock_ = 0.0f;       // the last time the sparks were aged to
    double emissionOwed_ = 0.0;  // sparks owed to emission, in steps
    bool emitting_ = false;
    Texture* texture_ = nullptr;
};
