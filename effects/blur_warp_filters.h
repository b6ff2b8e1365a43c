#pragma once
// Three more frame-grab filters: a radial blur of zoomed copies, a motion
// trail of recent frames, and a warp through a deformable grid.
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

#include "effects/additive_passes.h"
#include "effects/echo_tiles.h"
#include "effects/frame_grab.h"
#include "resources/draw/grid_mesh.h"
#include "resources/draw/screen_quad.h"
#include "resources/targets/render_target.h"

class Texture;

// The source under layers of its own picture, each zoomed in a little more
// (and optionally turned), grabbed already blurred.
class RadialBlur : public FrameGrabEffect {
public:
    // Makes the working texture "radialblur", 512 x 512.
    RadialBlur();
    ~RadialBlur() override;

    // The tuning back to its defaults and a blue-white colour; neither the
    // clock nor the source restarts.
    void start(int32_t time) override;
    // Draws the source (when driven) and the blurred layers.
    void update(int32_t time, bool applyViewport) override;
    void render(int32_t time) override { update(time, true); }
    // Base codes, 70, and 90 to 96.
    void command(Command c) override;
    // Grabs the source and blurs it into the working texture; adopts the
    // shared "FireTexture" as working texture once it exists.
    void prerender(int32_t time) override;

    float angle() const { return angle_; }

private:
    // Layers add to what is drawn: on a multisampled frame they are summed
    // off the frame by the given group.
    void drawLayers(int count, AdditivePasses& passes);

    static constexpr int size_ = 512;
    AdditivePasses grabPasses_;
    AdditivePasses screenPasses_;
    Texture* working_ = nullptr;
    Texture* external_ = nullptr;
    int32_t previousTime_ = 0;
    bool driveSource_ = true;
    bool rotate_ = false;
    float angle_ = 0.0f;
    float angleStep_ = 1.0f;
    float alphaStart_ = 0.45f;
    float alphaStep_ = 0.01f;
    float insetStepU_ = 0.01f;
    float insetStepV_ = 0.01f;
    int rotationPeriod_ = 1000;
    int grabLayers_ = 10;
    int drawLayers_ = 6;
};

// The source with a fading trail of its last few grabbed frames.
class MotionBlur : public FrameGrabEffect {
public:
    // Makes "motionblur0" to "motionblur5", 512 x 512.
    MotionBlur();
    ~MotionBlur() override;

    // The base start, then alpha 0.5 and a grab every 4 steps.
    void start(int32_t time) override;
    void render(int32_t time) override;
    // Base codes, 70, and 90 (interval), 94 (draw source), 95 (clear the
    // trail), 118 (trail alpha).
    void command(Command c) override;
    // Grabs the source, as it is at the stretch's start, into the oldest
    // texture when the demo time has entered a new stretch of `interval`
    // steps of 1000 / 60 ms (every 4th frame at 60 frames a second; as
    // often in demo time at any rate).
    void prerender(int32_t time) override;
    // The grabbed trail dropped; the source drawn again.
    void rewind() override;

    size_t trailLength() const { return trail_.size(); }
    const std::deque<Texture*>& trail() const { return trail_; }

private:
    // Every grabbed texture back to the free ones; the next frame grabs.
    void clearTrail();
    // Marks the tiles of the screen the texture just grabbed can change.
    void markEchoTiles(const Texture* texture);
    // One echo layer: the texture (bound) over the whole viewport, drawn
    // only over its marked tiles when they are known for this viewport.
    void drawEcho(const Texture* texture);

    static constexpr int size_ = 512;
    std::vector<Texture*> all_;
    std::deque<Texture*> trail_;  // newest first
    std::deque<Texture*> free_;
    int64_t lastGrab_ = -1;  // the stretch of the last grab; -1: none since the trail was cleared
    int interval_ = 4;
    float alpha_ = 0.5f;
    bool drawSource_ = true;
    UnitQuad quad_;
    // Per grabbed texture, the rectangles of the screen its marked tiles cover.
    std::unordered_map<const Texture*, std::vector<PixelBox>> echoRectangles_;
};

// The source rendered off-screen and drawn through a 128 x 128 grid that
// waves or ripples.
class WarpFilter : public FrameGrabEffect {
public:
    // Makes its 1024 x 1024 render target with a repeating texture.
    WarpFilter();

    // The base start, then the target cleared to transparent black.
    void start(int32_t time) override;
    // Draws the target through the deformed grid.
    void update(int32_t time, bool applyViewport) override;
    void render(int32_t time) override { update(time, true); }
    // Base codes, 70, and 90 to 95.
    void command(Command c) override;
    // Renders the source into the target, unless the viewport is empty.
    void prerender(int32_t time) override;

    // Moves the grid's vertices for time parameter t (the mode decides how).
    // Waves move the coarse wave grid by the same function of the fine
    // grid's row and column, taken at the coarse vertices' places; the
    // ripple moves the fine grid. Other modes keep the last shape.
    void deform(float t);
    // The fine grid (128 x 128), moved by the ripple.
    const GridMesh& grid() const { return grid_; }
    // The coarse grid (waveGridSize per side), moved by the waves.
    const GridMesh& waveGrid() const { return waveGrid_; }
    // The waves bend each row and column by one sine over the whole screen,
    // so a quarter of the fine grid's triangles trace the same picture to a
    // fraction of a pixel at a fraction of the cost.
    static constexpr int fineGridSize = 128;
    static constexpr int waveGridSize = 64;

private:
    RenderTarget target_;
    GridMesh grid_;
    GridMesh waveGrid_;
    const GridMesh* shown_ = &waveGrid_;  // the grid deformed last
    float amplitudeX_ = 0.05f;
    float amplitudeY_ = 0.05f;
    float speedX_ = 0.2f;
    float speedY_ = 1.0f / 9.0f;
    float frequencyX_ = 7.0f;
    float frequencyY_ = 9.0f;
    int mode_ = 1;
    AnimParam rippleScale_;
};
