#pragma once
// The vertex record of screen quads and sprite batches: 27 floats, of which
// the helpers use position, texture coordinates and colour.

struct SpriteVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float u = 0.0f, v = 0.0f;
    float r = 1.0f, g = 1.0f, b = 1.0f, a = 1.0f;
    float unused[18] = {};
};

static_assert(sizeof(SpriteVertex) == 108, "vertex arrays use 108 bytes as stride");
