#pragma once
// One GL texture, made and owned by the texture manager and shared by name.
#include <GL/gl.h>

#include "resources/images/image.h"

class Texture {
public:
    // kind: GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP or GL_DEPTH_COMPONENT (a 2D
    // texture holding depth). Makes no GL object; the manager does.
    Texture(GLenum kind, GLenum internalFormat) : kind_(kind), internalFormat_(internalFormat) {}
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Binds to the target of its kind; a depth texture binds to
    // GL_TEXTURE_2D.
    void bind() const;

    // The decoded picture behind an image texture (owned by the image
    // cache, 32 bits at the texture's size once uploaded); null for
    // created textures.
    Image* image() const { return image_; }
    GLuint name() const { return name_; }
    GLenum kind() const { return kind_; }
    GLenum internalFormat() const { return internalFormat_; }
    // Size of the GL texture in texels.
    int width() const { return width_; }
    int height() const { return height_; }
    // Size of the source picture before rescaling (image textures only).
    int imageWidth() const { return imageWidth_; }
    int imageHeight() const { return imageHeight_; }

private:
    // The texture manager's makers fill the fields in.
    friend struct TextureBuilder;

    Image* image_ = nullptr;
    GLuint name_ = 0;
    GLenum kind_;
    GLenum internalFormat_;
    int width_ = 0;
    int height_ = 0;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
};
