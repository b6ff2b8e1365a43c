#include "resources/textures/texture.h"

void Texture::bind() const { glBindTexture(kind_ == GL_DEPTH_COMPONENT ? GL_TEXTURE_2D : kind_, name_); }
