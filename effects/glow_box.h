#pragma once
// Where the glow's passes can change the frame. Each pass lays the blur
// texture over the viewport, zoomed about its centre, and adds it; a pixel
// whose sample reads only zero texels gains nothing. Bounding the texels
// that are not zero and mapping them through every pass's zoom gives a box
// outside of which the passes add nothing, so scissoring them to it leaves
// every byte of the frame as the whole-viewport passes leave it.
#include <cstdint>
#include <optional>

#include "effects/pixel_box.h"

// Texels, inclusive, columns left..right and rows bottom..top (row 0 first
// in memory).
struct TexelBounds {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
};

// The texels of a width x height RGBA8 picture (rows bottom first, tightly
// packed) with any channel above zero; nothing when all are zero.
std::optional<TexelBounds> nonZeroTexels(const uint8_t* rgba, int width, int height);

// The part of a viewportWidth x viewportHeight viewport that passCount
// passes over a textureSize x textureSize linear texture can change, the
// pass k drawn with texture coordinates -z..1+z (z = k x zoomStep, summed
// in float as the passes sum it) from the viewport's bottom left to its
// top right. The box keeps a texel and a pixel of margin against rounding;
// texels on the texture's edge reach the viewport's edge (clamping repeats
// them). The whole viewport when a pass is zoomed so far that its
// coordinates fold over.
PixelBox glowPassBox(const TexelBounds& texels, int textureSize, int viewportWidth, int viewportHeight,
                     int passCount, float zoomStep);
