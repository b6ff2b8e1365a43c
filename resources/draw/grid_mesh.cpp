#include "resources/draw/grid_mesh.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

constexpr int largestGrid = 256;  // 16-bit indices

}  // namespace

GridMesh::GridMesh(int n, float width, float height, float centreX, float centreY, float uRange, float vRange)
    : n_(std::clamp(n, 2, largestGrid))
{
    const auto steps = static_cast<float>(n_ - 1);
    const float dx = width / steps, dy = height / steps;
    const float du = uRange / steps, dv = vRange / steps;
    vertices_.resize(static_cast<size_t>(n_) * static_cast<size_t>(n_));
    float y = -height / 2.0f;
    float v = 0.0f;
    for (int i = 0; i < n_; ++i, y += dy, v += dv) {
        float x = -width / 2.0f;
        float u = 0.0f;
        for (int j = 0; j < n_; ++j, x += dx, u += du) {
            GridVertex& g = vertex(i, j);
            g.restX = g.x = x + centreX;
            g.restY = g.y = y + centreY;
            g.restZ = g.z = 0.0f;
            g.restU = g.u = u;
            g.restV = g.v = v;
            g.r = g.g = g.b = g.a = 1.0f;
        }
    }
    for (int i = 0; i < n_ - 1; ++i) {
        for (int j = 0; j < n_ - 1; ++j) {
            const auto k = static_cast<uint16_t>(i * n_ + j);
            const auto n = static_cast<uint16_t>(n_);
            triangles_.insert(triangles_.end(), {k, static_cast<uint16_t>(k + 1), static_cast<uint16_t>(k + n),
                                                 static_cast<uint16_t>(k + 1), static_cast<uint16_t>(k + n + 1),
                                                 static_cast<uint16_t>(k + n)});
        }
        for (int j = 0; j < n_; ++j) {
            strips_.push_back(static_cast<uint16_t>(i * n_ + j));
            strips_.push_back(static_cast<uint16_t>(i * n_ + j + n_));
        }
    }
}

void GridMesh::draw(bool strips) const
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (useColours_)
        glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(GridVertex), &vertices_[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(GridVertex), &vertices_[0].u);
    glColorPointer(4, GL_FLOAT, sizeof(GridVertex), &vertices_[0].r);
    if (strips) {
        const size_t perRow = static_cast<size_t>(2 * n_);
        for (int row = 0; row < n_ - 1; ++row)
            glDrawElements(GL_TRIANGLE_STRIP, 2 * n_, GL_UNSIGNED_SHORT, strips_.data() + row * perRow);
    } else {
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(triangles_.size()), GL_UNSIGNED_SHORT, triangles_.data());
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (useColours_)
        glDisableClientState(GL_COLOR_ARRAY);
}
