#pragma once
// A batch of textured quads, one per particle, drawn with one call.
#include <cstdint>
#include <vector>

#include "resources/draw/particle.h"
#include "resources/draw/sprite_vertex.h"
#include "scene/matrix4.h"

class QuadBatch {
public:
    // Room for count quads, white, texture (0, 0) to (1, 1) on each.
    explicit QuadBatch(int count);

    // Quad q's corners (x, y) to (x + w, y + h) at depth z with alpha.
    // Quads outside the batch are ignored.
    void setQuad(int q, float x, float y, float w, float h, float z, float alpha);
    // One quad per particle: active particles become squares of twice
    // their size around their position through m, with alpha life + bias;
    // inactive ones become empty quads.
    void build(const Matrix4& m, int count, const Particle* particles);
    // count quads from quad `first` on, with their colours when asked.
    void draw(int count, int first, bool withColours) const;

    void setAlphaBias(float bias) { alphaBias_ = bias; }
    int capacity() const { return static_cast<int>(vertices_.size() / 4); }
    const SpriteVertex& vertex(int index) const { return vertices_[static_cast<size_t>(index)]; }

private:
    std::vector<SpriteVertex> vertices_;
    std::vector<uint16_t> indices_;
    float alphaBias_ = 0.0f;
};
