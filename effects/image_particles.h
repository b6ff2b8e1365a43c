#pragma once
// The spark dissolve of an image layer: every second pixel of a picture in
// each direction becomes a particle, waiting until the growing layer
// uncovers its column, then drifting away from the picture's middle row
// while it fades.
#include <deque>
#include <vector>

#include "resources/draw/particle.h"
#include "resources/draw/quad_batch.h"

class Texture;

class ImageParticles {
public:
    // One pending particle per sampled pixel of the picture behind image
    // (every second column and row; pixels with alpha 0 or black are
    // skipped), at its place in the unit square. An image texture without a
    // 32-bit picture (null, a created texture, a failed rescale) gives an
    // empty system. sprite is bound when the particles are drawn; it may be
    // null, and then they are drawn as plain squares. Neither texture is
    // owned.
    ImageParticles(const Texture* image, const Texture* sprite);
    ImageParticles(const ImageParticles&) = delete;
    ImageParticles& operator=(const ImageParticles&) = delete;

    // Moves the pending particles whose x is below edge (in creation order,
    // stopping at the first that is not) to the released ones, placing
    // them on the screen inside a rectangle at (x, y) of size
    // targetW x targetH.
    void release(float edge, float x, float y, float targetW, float targetH);

    // Ages every released particle by dt (life += dt x fade rate, not
    // limited); those still at 0 or above move by dt x velocity and are
    // drawn as 0.01-wide squares with their life as opacity, added onto the
    // picture; the others are dropped. Leaves depth test and writes on,
    // blending and texturing off.
    void updateAndDraw(float dt);

    int pendingCount() const { return static_cast<int>(pending_.size()); }
    int releasedCount() const { return static_cast<int>(released_.size()); }
    // The particles in their current order (released: oldest first).
    const std::deque<Particle>& pending() const { return pending_; }
    const std::vector<Particle>& released() const { return released_; }

private:
    std::deque<Particle> pending_;
    std::vector<Particle> released_;
    QuadBatch sprites_;
    const Texture* texture_ = nullptr;
};
