#pragma once
// An N x N grid of textured vertices that an effect deforms on the CPU and
// draws as triangles or as one strip per row.
#include <cstddef>
#include <cstdint>
#include <vector>

struct GridVertex {
    float restX, restY, restZ;
    float x, y, z;  // current position
    float restU, restV;
    float u, v;  // current texture coordinates
    float r, g, b, a;
};

static_assert(sizeof(GridVertex) == 56, "grid arrays use 56 bytes as stride");

class GridMesh {
public:
    // n vertices per side (2 to 256), spanning width x height around the
    // centre, texture coordinates 0 to uRange and 0 to vRange. Positions
    // are running sums, as the grids have always been built.
    GridMesh(int n, float width, float height, float centreX, float centreY, float uRange, float vRange);

    // Triangles, or one strip per row; colours only when useColours is set.
    void draw(bool strips) const;

    int size() const { return n_; }
    GridVertex& vertex(int row, int column) { return vertices_[static_cast<size_t>(row * n_ + column)]; }
    std::vector<GridVertex>& vertices() { return vertices_; }
    const std::vector<GridVertex>& vertices() const { return vertices_; }
    const std::vector<uint16_t>& triangleIndices() const { return triangles_; }
    const std::vector<uint16_t>& stripIndices() const { return strips_; }
    void setUseColours(bool on) { useColours_ = on; }

private:
    std::vector<GridVertex> vertices_;
    std::vector<uint16_t> triangles_;
    std::vector<uint16_t> strips_;
    int n_;
    bool useColours_ = false;
};
