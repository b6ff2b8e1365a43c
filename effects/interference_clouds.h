#pragma once
// Two full-screen backgrounds in perspective: additive layers of a turning
// line pattern that make moiré, and an undulating cloud grid. Both draw in
// update, so a frame-grab filter can use them as its source.
#include <array>
#include <cstdint>
#include <memory>

#include "resources/draw/grid_mesh.h"
#include "resources/draw/screen_quad.h"
#include "timeline/effect.h"

class Texture;

// Copies of one line-pattern picture, turning and pulsing with progress
// (one unit per 30 ms after start), laid over each other additively.
class InterferenceEffect : public Effect {
public:
    // Loads "interf3.jpg", "interf4.png", "interference1.png" and
    // "interference2.png" from "data/images/"; a picture that cannot be
    // loaded leaves its entry null.
    InterferenceEffect();
    ~InterferenceEffect() override;

    // Resets the clock with a duration of 30 ms, four-layer mode, picture 1.
    void start(int32_t time) override;
    // Draws the layers of the current mode at the effect's progress.
    void update(int32_t time, bool applyViewport) override;
    void render(int32_t time) override { update(time, true); }
    // The base table first, then 90 mode (1 and 4: four layers, 2: two,
    // 3: three, others: none) and picture a0, 91 picture a0 (1-based; a
    // number outside 1 .. 9 or of a missing picture changes nothing).
    void command(Command c) override;

    int mode() const { return mode_; }
    const Texture* current() const { return current_; }
    const Texture* picture(int number) const;

private:
    void select(int number);
    void drawFourLayers(float t) const;
    // One square moved to (x, y, z), turned about z and scaled in x and y.
    void drawFlatLayer(float x, float y, float z, float degrees, float scale) const;
    void drawTwoLayers(float t) const;
    void drawThreeLayers(float t) const;

    std::array<Texture*, 10> pictures_{};
    Texture* current_ = nullptr;
    int mode_ = 1;
    float distance_ = 6.0f;
    std::unique_ptr<ScreenQuad> square_;
};

// A large textured grid under a tilted camera; its vertices undulate, their
// brightness follows the height, and the texture turns one degree per
// divisor ms.
class CloudsEffect : public Effect {
public:
    // Loads "clouds.png" from "data/textures/" and builds the 50 x 50 grid.
    CloudsEffect();
    ~CloudsEffect() override;

    // Starts the animation at time with 60 ms per unit; the clock is not
    // reset.
    void start(int32_t time) override;
    // Deforms the grid for the animation time and draws it.
    void update(int32_t time, bool applyViewport) override;
    void render(int32_t time) override { update(time, true); }
    // The base table first, then 10 ms per unit of animation. A divisor
    // of 0 freezes the animation where it stands.
    void command(Command c) override;

    const GridMesh& grid() const { return *grid_; }
    float divisor() const { return divisor_; }

private:
    void deform(float a);

    Texture* texture_ = nullptr;
    std::unique_ptr<GridMesh> grid_;
    int32_t animationStart_ = 0;
    float divisor_ = 60.0f;
    float lastA_ = 0.0f;
};
