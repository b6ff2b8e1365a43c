#include "effects/image_particles.h"

#include <GL/gl.h>

#include <algorithm>

#include "resources/images/image.h"
#include "resources/textures/texture.h"

namespace {

constexpr float fadeRate = -2.0f;
constexpr float spreadPerRow = 0.003f;
constexpr float spriteSize = 0.01f;

// One particle per second pixel of each second row, column by column, so
// that the list is ordered by x as the reveal edge moves right.
std::deque<Particle> samplePicture(const Texture* texture)
{
    std::deque<Particle> particles;
    const Image* image = texture != nullptr ? texture->image() : nullptr;
    if (image == nullptr || image->pixels == nullptr || image->bitsPerPixel != 32)
        return particles;
    const int width = image->width;
    const int height = image->height;
    for (int i = 0; i < width; i += 2) {
        for (int j = 0; j < height; j += 2) {
            const uint8_t* pixel = image->pixels + (static_cast<size_t>(j) * width + i) * 4;
            if (pixel[3] == 0 || pixel[0] + pixel[1] + pixel[2] == 0)
                continue;
            Particle particle;
            particle.position = Vec3(static_cast<float>(i) / width, static_cast<float>(j) / height, 0.0f);
            particle.velocity = Vec3(0.0f, static_cast<float>(j - height / 2) * spreadPerRow, 0.0f);
            particle.life = pixel[3] / 255.0f;
            particle.fadeRate = fadeRate;
            particles.push_back(particle);
        }
    }
    return particles;
}

}  // namespace

ImageParticles::ImageParticles(const Texture* image, const Texture* sprite)
    : pending_(samplePicture(image)), sprites_(static_cast<int>(pending_.size())), texture_(sprite)
{
}

void ImageParticles::release(float edge, float x, float y, float targetW, float targetH)
{
    while (!pending_.empty() && pending_.front().position.x < edge) {
        Particle particle = pending_.front();
        pending_.pop_front();
        particle.position.x = x + targetW * particle.position.x;
        particle.position.y = y + targetH * particle.position.y;
        released_.push_back(particle);
    }
}

void ImageParticles::updateAndDraw(float dt)
{
    // Life is deliberately not clamped: a particle lives exactly while it
    // stays at 0 or above.
    size_t kept = 0;
    for (Particle& particle : released_) {
        particle.life += dt * particle.fadeRate;
        if (particle.life < 0.0f)
            continue;
        particle.position.x += dt * particle.velocity.x;
        particle.position.y += dt * particle.velocity.y;
        sprites_.setQuad(static_cast<int>(kept), particle.position.x, particle.position.y, spriteSize, spriteSize,
                         0.0f, particle.life);
        released_[kept++] = particle;
    }
    released_.resize(kept);

    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // Without a spark picture whatever texture was bound last would be
    // stamped onto every particle; plain squares are the honest fallback.
    if (texture_ != nullptr) {
        glEnable(GL_TEXTURE_2D);
        texture_->bind();
    }
    sprites_.draw(static_cast<int>(kept), 0, true);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}
