#include "resources/draw/quad_batch.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

constexpr int largestBatch = 65536 / 4;  // 16-bit indices

}  // namespace

QuadBatch::QuadBatch(int count)
{
    count = std::clamp(count, 0, largestBatch);
    vertices_.resize(static_cast<size_t>(count) * 4);
    indices_.reserve(static_cast<size_t>(count) * 6);
    const float texture[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int q = 0; q < count; ++q) {
        const auto a = static_cast<uint16_t>(4 * q);
        indices_.insert(indices_.end(), {a, static_cast<uint16_t>(a + 2), static_cast<uint16_t>(a + 1),
                                         static_cast<uint16_t>(a + 2), a, static_cast<uint16_t>(a + 3)});
        for (int corner = 0; corner < 4; ++corner) {
            SpriteVertex& vertex = vertices_[static_cast<size_t>(a + corner)];
            vertex.u = texture[corner][0];
            vertex.v = texture[corner][1];
        }
    }
}

void QuadBatch::setQuad(int q, float x, float y, float w, float h, float z, float alpha)
{
    if (q < 0 || q >= capacity())
        return;
    const float corners[4][2] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    for (int corner = 0; corner < 4; ++corner) {
        SpriteVertex& vertex = vertices_[static_cast<size_t>(4 * q + corner)];
        vertex.x = corners[corner][0];
        vertex.y = corners[corner][1];
        vertex.z = z;
        vertex.a = alpha;
    }
}

void QuadBatch::build(const Matrix4& m, int count, const Particle* particles)
{
    count = std::min(count, capacity());
    for (int i = 0; i < count; ++i) {
        const Particle& particle = particles[i];
        if (!particle.active) {
            setQuad(i, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
            continue;
        }
        const Vec3 p = m.transformPoint(particle.position);
        const float s = particle.size;
        setQuad(i, p.x - s, p.y - s, 2.0f * s, 2.0f * s, p.z, particle.life + alphaBias_);
    }
}

void QuadBatch::draw(int count, int first, bool withColours) const
{
    count = std::clamp(count, 0, capacity());
    first = std::clamp(first, 0, capacity() - count);
    if (count == 0)
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (withColours)
        glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(SpriteVertex), &vertices_[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(SpriteVertex), &vertices_[0].u);
    glColorPointer(4, GL_FLOAT, sizeof(SpriteVertex), &vertices_[0].r);
    glDrawElements(GL_TRIANGLES, count * 6, GL_UNSIGNED_SHORT, indices_.data() + static_cast<size_t>(first) * 6);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (withColours)
        glDisableClientState(GL_COLOR_ARRAY);
}
