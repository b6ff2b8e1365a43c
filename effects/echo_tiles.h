#pragma once
// Where an echo layer of the motion blur can change the frame. A layer lays
// a grabbed texture over the whole viewport, alpha-tested above a positive
// threshold, so a pixel whose linear sample reads only texels of alpha 0
// never passes the test. The viewport is cut into tiles; a tile is marked
// when any texel its pixels can sample (with a texel of margin against
// rounding) has alpha above 0. Drawing the layer only over boxes that hold
// the marked tiles leaves every byte of the frame as drawing it whole does.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "effects/pixel_box.h"

class EchoTiles {
public:
    static constexpr int tileSize = 32;

    // Nothing marked: the layer changes no pixel.
    EchoTiles() = default;

    // The tiles of a viewportWidth x viewportHeight viewport that a
    // textureWidth x textureHeight texture stretched over it (linear,
    // repeating) can change; alpha holds one byte a texel, rows bottom
    // first, tightly packed.
    static EchoTiles fromAlpha(const uint8_t* alpha, int textureWidth, int textureHeight, int viewportWidth,
                               int viewportHeight);

    // Rectangles of the viewport (pixels, origin at its bottom left) that
    // together cover every marked tile once: boxes of tiles, grown until no
    // two boxes touch or overlap, so a whole unmarked tile lies between any
    // two. A driver whose scissor lets part of the pixels just outside a box
    // through (llvmpipe does, with samples) then draws only pixels where the
    // layer changes nothing. Empty when none is marked.
    std::vector<PixelBox> rectangles() const;

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    // Whether the tile at column, row (row 0 at the bottom) is marked.
    bool marked(int column, int row) const { return marks_[static_cast<size_t>(row * columns_ + column)] != 0; }

private:
    int columns_ = 0;
    int rows_ = 0;
    int viewportWidth_ = 0;
    int viewportHeight_ = 0;
    std::vector<uint8_t> marks_;
};
