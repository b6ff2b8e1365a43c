#pragma once
// A colour with alpha, each channel 0..1; white and opaque by default.

struct Color4 {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;
};
