#pragma once
// Picture layers: a picture in a screen rectangle that can scroll, turn,
// grow over its picture instead of stretching it and dissolve into sparks;
// and a group of five such layers behind one registry place.
#include <array>
#include <memory>
#include <vector>

#include "effects/image_particles.h"
#include "timeline/blend_effect.h"

class Texture;

class ImageLayer : public BlendEffect {
public:
    // Loads the spark picture "particle1.png" from "data/textures/" (a
    // missing one leaves the sparks as plain squares); no picture is shown
    // yet. Duration 1000 ms.
    ImageLayer();

    // Blending back to its defaults, fully opaque, no scrolling or turning,
    // stretching on, dissolve off. The clock keeps running.
    void start(int32_t time) override;
    // Draws the current picture in the effect's rectangle (nothing without
    // one, and then the clock stands still too). With applyViewport the
    // whole window is the viewport; without it the viewport is left alone,
    // so a frame grab can narrow it to a corner.
    void update(int32_t time, bool applyViewport) override;
    // No picture, the picture list back to its one empty place, no
    // dissolve: what ADDPICTURE and the picture commands gathered goes (the
    // textures stay loaded for the next setup).
    void rewind() override;
    // Own codes first (30, 31, 90, 91, 110, 210, 211, 212), then the blend
    // and base codes. 31 and 110 take a file name loaded without a prefix;
    // a name that cannot be loaded adds nothing (31) or leaves no picture
    // (110).
    void command(Command c) override;

    const Texture* current() const { return current_; }
    int imageCount() const { return static_cast<int>(images_.size()); }
    int imageIndex() const { return imageIndex_; }
    bool stretch() const { return stretch_; }
    bool dissolve() const { return dissolve_; }
    const ImageParticles* particles() const { return particles_.get(); }
    // Angles in degrees as of the last drawn frame.
    float angleX() const { return angles_[0]; }
    float angleY() const { return angles_[1]; }
    float angleZ() const { return angles_[2]; }

private:
    // Texture extent of the quad: 1 when stretching, else the share of its
    // target the rectangle has grown to.
    void textureExtent(float& u, float& v) const;
    bool growing() const;

    std::vector<Texture*> images_;
    int imageIndex_ = 0;
    Texture* current_ = nullptr;
    Texture* particleTexture_ = nullptr;
    std::unique_ptr<ImageParticles> particles_;
    bool stretch_ = true;
    bool dissolve_ = false;
    float scrollU_ = 0.0f;
    float scrollV_ = 0.0f;
    int scrollDivisor_ = 1000;
    std::array<float, 3> speeds_ = {};
    std::array<float, 3> angles_ = {};
};

// Five image layers behind one place: the script selects one and every
// command then reaches it.
class LayerGroup : public Effect {
public:
    static constexpr int layerCount = 5;

    LayerGroup();

    // Every layer's start, in order; the group's own clock is not touched.
    void start(int32_t time) override;
    // Every layer rewound and hidden, nothing selected.
    void rewind() override;
    // Every active layer's render, in order.
    void render(int32_t time) override;
    // 97 shows the selected layer, 98 hides it, 99 selects layer a0 (0 to
    // 4; other numbers keep the selection). Every command, these included,
    // is then passed to the selected layer. The base codes are not handled.
    void command(Command c) override;

    ImageLayer& layer(int index) { return *layers_[static_cast<size_t>(index)]; }
    // -1 while nothing is selected.
    int selectedIndex() const { return selected_; }

private:
    std::array<std::unique_ptr<ImageLayer>, layerCount> layers_;
    int selected_ = -1;
};
