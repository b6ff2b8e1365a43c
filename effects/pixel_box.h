#pragma once
// A rectangle of the viewport in pixels, origin at its bottom left: where a
// pass is scissored to.

struct PixelBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
