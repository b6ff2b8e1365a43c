#pragma once
// The pictures behind the interference layers, the cloud grid and the
// sprite ring, computed from formulas so that every build paints the same
// bytes. Grey pictures are RGB; the sprite is RGBA.
#include <cstdint>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<uint8_t> pixels;  // top row first
};

// Thin bright rings around the middle on black.
Picture ringPattern(int size);
// Thin bright parallel lines, slightly slanted, on black.
Picture linePattern(int size);
// Bright spokes from the middle, fading towards it, on black.
Picture spokePattern(int size);
// A zone plate: rings whose spacing narrows outwards, itself a moiré.
Picture zonePattern(int size);
// Tileable fractal clouds, white on a pale blue sky.
Picture cloudTexture(int size);
// A soft dark disc with a faint light rim, transparent outside.
Picture darkSprite(int size);
