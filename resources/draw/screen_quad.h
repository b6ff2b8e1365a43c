#pragma once
// Textured rectangles drawn from client-side arrays. They set no GL state
// besides the arrays they enable and disable again: the caller sets the
// projection, texture, colour and blending.
#include <array>
#include <cstdint>

#include "resources/draw/sprite_vertex.h"

class ScreenQuad {
public:
    // The rectangle from (x, y) to (x + w, y + h), texture (0, 0) to (1, 1).
    ScreenQuad(float x, float y, float w, float h);
    virtual ~ScreenQuad() = default;

    // Moves the corners; the texture coordinates stay.
    void setRect(float x, float y, float w, float h);
    // Two triangles through glDrawElements.
    virtual void draw();

    const std::array<SpriteVertex, 4>& vertices() const { return vertices_; }

private:
    std::array<SpriteVertex, 4> vertices_;
    static constexpr uint16_t indices_[6] = {0, 2, 1, 2, 0, 3};
};

// The square from (0, 0) to (1, 1), texture coordinates equal to positions.
class UnitQuad : public ScreenQuad {
public:
    UnitQuad() : ScreenQuad(0.0f, 0.0f, 1.0f, 1.0f) {}
};
