#pragma once
// Two flat overlays over the whole screen: translucent bars that glide or
// flicker, and a ring of textured sprites turning with the effect's clock.
#include <cstdint>
#include <memory>
#include <vector>

#include "resources/draw/quad_batch.h"
#include "timeline/effect.h"

class Texture;

// Translucent bars across the screen in the colour parameters. In glide
// mode every bar moves at its own speed and wraps round; in flicker mode a
// new random set replaces the bars every interval ms.
class BarsEffect : public Effect {
public:
    struct Bar {
        float alpha;
        float position;
        float width;
        float speed;
    };

    // Room for 40 bars, all transparent until start fills them. Every set
    // of bars is drawn from a random sequence named by `seed` and the demo
    // time it is made for, so the bars at a time are the same however the
    // show got there.
    explicit BarsEffect(uint32_t seed = 0);

    // Refills the bars and starts gliding from time; the clock is not reset.
    void start(int32_t time) override;
    // Count, interval, width, speed and direction as made; gliding.
    void rewind() override;
    // Moves or renews the bars and draws them in an orthographic unit
    // square (y down) with alpha blending.
    void render(int32_t time) override;
    // The base table first, then 10 speed divisor (0 holds the bars
    // still), 90 count (clamped to 0 .. 65536) and refill, 91 interval,
    // 92 width scale in percent and refill, 93 vertical when non-zero,
    // 94 flicker when zero, 201 refill with the new alpha.
    void command(Command c) override;

    const std::vector<Bar>& bars() const { return bars_; }
    bool horizontal() const { return horizontal_; }
    bool flicker() const { return flicker_; }

private:
    // New random alpha, position, width and speed for every bar, drawn
    // from the sequence named by the seed, `time` and `occasion`.
    void refill(int32_t time, uint32_t occasion);
    // Every bar where its glide has taken it by `time`, wrapping at the
    // screen edges widened by the width scale.
    void glideTo(int32_t time);
    // The glide begins again from where the bars are, at `time`.
    void anchorGlide(int32_t time);
    // When a command acts: its due time, not before the last frame.
    int32_t commandTime(const Command& c) const;
    void drawBars() const;

    std::vector<Bar> bars_;
    std::vector<float> origins_;  // where each bar was when the glide began
    int32_t glideFrom_ = 0;
    uint32_t seed_;
    int32_t moveTime_ = 0;
    int32_t interval_ = 200;
    float widthScale_ = 0.05f;
    int32_t speedDivisor_ = 2000;
    bool flicker_ = false;
    bool horizontal_ = true;
};

// Up to 100 sprites of "particle_black2.png" on a circle; the circle turns
// by one radian per duration of the effect.
class SpriteRing : public Effect {
public:
    // Loads the sprite texture from "data/textures/"; a missing picture
    // leaves it null and the sprites take whatever texture is bound.
    SpriteRing();
    ~SpriteRing() override;

    // Resets the clock and the ring: size 0.1, radius 0.4, centre (1, 1).
    void start(int32_t time) override;
    void render(int32_t time) override;
    // The base table first, then 90 size and radius, 91 centre (both in
    // percent of the screen), 92 count, clamped to 0 .. 100.
    void command(Command c) override;

    int count() const { return count_; }
    float size() const { return size_; }
    float radius() const { return radius_; }
    float centreX() const { return centreX_; }
    float centreY() const { return centreY_; }
    const QuadBatch& sprites() const { return *sprites_; }

private:
    static constexpr int capacity_ = 100;
    Texture* texture_ = nullptr;
    std::unique_ptr<QuadBatch> sprites_;
    int count_ = 20;
    float size_ = 0.1f;
    float radius_ = 0.4f;
    float centreX_ = 1.0f;
    float centreY_ = 1.0f;
};
