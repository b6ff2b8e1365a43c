#include "scene/material.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <cmath>
#include <vector>

#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "shell/extensions.h"

void selectTextureUnit(int unit)
{
    if (ext::glActiveTextureARB != nullptr)
        ext::glActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
}

namespace {

void sendMaterial(GLenum face, GLenum which, float r, float g, float b, float a)
{
    const GLfloat values[4] = {r, g, b, a};
    glMaterialfv(face, which, values);
}

void bindOn(int unit, GLenum target, const Texture* texture)
{
    selectTextureUnit(unit);
    glEnable(target);
    if (texture != nullptr)
        texture->bind();
}

void combine(GLenum function, GLenum source1)
{
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, static_cast<GLint>(function));
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_TEXTURE);
    if (source1 != 0)
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, static_cast<GLint>(source1));
}

// The unit-length direction through texel (k, j) of cube face `face`.
void faceDirection(int face, float e, float f, float& x, float& y, float& z)
{
    switch (face) {
    case 0: x = 32.0f, y = -f, z = -e; break;
    case 1: x = -32.0f, y = -f, z = e; break;
    case 2: x = e, y = 32.0f, z = f; break;
    case 3: x = e, y = -32.0f, z = -f; break;
    case 4: x = e, y = -f, z = 32.0f; break;
    default: x = -e, y = -f, z = -32.0f; break;
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
}

}  // namespace

Material::~Material()
{
    if (normalizationCubeMap_ != 0)
        glDeleteTextures(1, &normalizationCubeMap_);
}

void Material::setShininess(float value, float specularLevel)
{
    shininess_ = value * 128.0f;
    specularLevel_ = specularLevel;
}

void Material::setOpacity(float opacity)
{
    opacity_ = opacity;
    transparent_ = additive_ || opacity_ < 1.0f;
}

void Material::setAdditive(bool on)
{
    additive_ = on;
    transparent_ = additive_ || opacity_ < 1.0f;
}

void Material::setOpacityMap(Texture* t)
{
    opacityMap_ = t;
    alphaTest_ = true;
    if (diffuseMap_ == nullptr || t == nullptr)
        return;
    Image* colour = diffuseMap_->image();
    const Image* opacity = t->image();
    // Only pictures that both hold four bytes a pixel can be merged without
    // reading or writing past one of them.
    if (colour == nullptr || opacity == nullptr || colour->pixels == nullptr || opacity->pixels == nullptr ||
        colour->width != opacity->width || colour->height != opacity->height || colour->bitsPerPixel != 32 ||
        opacity->bitsPerPixel != 32)
        return;
    const size_t pixels = static_cast<size_t>(colour->width) * colour->height;
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* grey = opacity->pixels + i * 4;
        colour->pixels[i * 4 + 3] = static_cast<uint8_t>((grey[0] + grey[1] + grey[2]) / 3);
    }
    glBindTexture(GL_TEXTURE_2D, diffuseMap_->name());
    gluBuild2DMipmaps(GL_TEXTURE_2D, 4, colour->width, colour->height, GL_RGBA, GL_UNSIGNED_BYTE, colour->pixels);
}

void Material::setMode(int mode)
{
    mode_ = mode;
    lit_ = mode == 0 || mode == 1 || mode == 10 || mode == 11;
    generated_ = mode == 2 || mode == 3 || mode == 4 || mode == 7 || mode == 8 || mode == 9 || mode == 11;
    outline_ = mode == 8 || mode == 9;
    secondUnit_ = mode == 4 || mode == 5 || mode == 6 || mode == 9 || mode == 11;
    cubeMapInUse_ = false;
    if (mode == 6 || mode == 7) {
        buildNormalizationCubeMap();
        cubeMapInUse_ = true;
    }
    if (mode == 10 || mode == 11) {
        cubeMap_ = TextureManager::createTexture("cubemap", 64, 64, GL_TEXTURE_CUBE_MAP, GL_RGBA);
        cubeMapInUse_ = true;
    }
}

int Material::dynamicCubeMapSize() const { return cubeMap_ != nullptr ? cubeMap_->width() : 0; }

void Material::buildNormalizationCubeMap()
{
    if (normalizationCubeMap_ != 0)
        return;
    constexpr int size = 64;
    glGenTextures(1, &normalizationCubeMap_);
    glBindTexture(GL_TEXTURE_CUBE_MAP, normalizationCubeMap_);
    std::vector<uint8_t> texels(size * size * 3);
    for (int face = 0; face < 6; ++face) {
        for (int j = 0; j < size; ++j) {
            for (int k = 0; k < size; ++k) {
                float x, y, z;
                faceDirection(face, static_cast<float>(k) + 0.5f - 32.0f, static_cast<float>(j) + 0.5f - 32.0f, x, y, z);
                uint8_t* texel = &texels[static_cast<size_t>((j * size + k) * 3)];
                texel[0] = static_cast<uint8_t>((x * 0.5f + 0.5f) * 255.0f);
                texel[1] = static_cast<uint8_t>((y * 0.5f + 0.5f) * 255.0f);
                texel[2] = static_cast<uint8_t>((z * 0.5f + 0.5f) * 255.0f);
            }
        }
        glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face), 0, GL_RGBA8, size, size, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, texels.data());
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
}

void Material::applyMode() const
{
    switch (mode_) {
    case 0:
        sendMaterial(GL_FRONT, GL_AMBIENT, ambient_.r, ambient_.g, ambient_.b, 1.0f);
        sendMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse_.r, diffuse_.g, diffuse_.b, opacity_);
        sendMaterial(GL_FRONT, GL_SPECULAR, specular_.r * specularLevel_, specular_.g * specularLevel_,
                     specular_.b * specularLevel_, 1.0f);
        glMaterialf(GL_FRONT, GL_SHININESS, shininess_);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
        selectTextureUnit(1);
        glDisable(GL_TEXTURE_2D);
        selectTextureUnit(0);
        glDisable(GL_TEXTURE_2D);
        break;
    case 1:
        if (diffuseMap_ == nullptr)
            break;
        sendMaterial(GL_FRONT, GL_AMBIENT, ambient_.r, ambient_.g, ambient_.b, 0.0f);
        sendMaterial(GL_FRONT, GL_DIFFUSE, 1.0f, 1.0f, 1.0f, opacity_);
        sendMaterial(GL_FRONT, GL_SPECULAR, specular_.r * specularLevel_, specular_.g * specularLevel_,
                     specular_.b * specularLevel_, 1.0f);
        glMaterialf(GL_FRONT, GL_SHININESS, shininess_);
        bindOn(0, GL_TEXTURE_2D, diffuseMap_);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
        break;
    case 2:
    case 3:
        if (reflectionMap_ == nullptr)
            break;
        selectTextureUnit(1);
        glDisable(GL_TEXTURE_2D);
        bindOn(0, GL_TEXTURE_2D, reflectionMap_);
        break;
    case 4:
    case 5: {
        Texture* second = mode_ == 4 ? reflectionMap_ : lightMap_;
        if (diffuseMap_ == nullptr || second == nullptr)
            break;
        bindOn(0, GL_TEXTURE_2D, diffuseMap_);
        selectTextureUnit(1);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode_ == 4 ? GL_ADD : GL_MODULATE);
        bindOn(1, GL_TEXTURE_2D, second);
        break;
    }
    case 6:
    case 7: {
        Texture* third = mode_ == 6 ? diffuseMap_ : reflectionMap_;
        if (bumpMap_ == nullptr || third == nullptr)
            break;
        bindOn(0, GL_TEXTURE_2D, bumpMap_);
        combine(GL_REPLACE, 0);
        selectTextureUnit(1);
        glEnable(GL_TEXTURE_CUBE_MAP);
        glBindTexture(GL_TEXTURE_CUBE_MAP, normalizationCubeMap_);
        combine(GL_DOT3_RGB_ARB, GL_PREVIOUS_ARB);
        if (mode_ == 7 || Extensions::textureUnits() >= 3) {
            bindOn(2, GL_TEXTURE_2D, third);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        }
        break;
    }
    case 10:
        if (cubeMap_ == nullptr)
            break;
        bindOn(0, GL_TEXTURE_CUBE_MAP, cubeMap_);
        break;
    case 11:
        bindOn(0, GL_TEXTURE_CUBE_MAP, cubeMap_);
        if (reflectionMap_ != nullptr) {
            selectTextureUnit(1);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
            bindOn(1, GL_TEXTURE_2D, reflectionMap_);
        }
        break;
    default:
        break;
    }
}

void Material::apply() const
{
    applyMode();
    selectTextureUnit(0);
    if (lit_ && cubeMap_ == nullptr && !unlit_)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    if (alphaTest_) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, alphaRef_);
    }
    if (opacity_ >= 1.0f) {
        glDisable(GL_BLEND);
    } else {
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_CULL_FACE);
    }
    if (twoSided_) {
        glDisable(GL_CULL_FACE);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    }
    if (additive_) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
    }
    if (wireframe_)
        glPolygonMode(GL_FRONT, GL_LINE);
    if (baked_) {
        glDisable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        if (diffuseMap_ != nullptr)
            diffuseMap_->bind();
        if (lightMap_ != nullptr)
            lightMap_->bind();
    }
}

void Material::reset() const
{
    if (lit_ && cubeMap_ == nullptr) {
        glDisable(GL_LIGHTING);
        sendMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE, 0.8f, 0.8f, 0.8f, 1.0f);
        sendMaterial(GL_FRONT, GL_AMBIENT, 0.2f, 0.2f, 0.2f, 1.0f);
        sendMaterial(GL_FRONT, GL_SPECULAR, 0.0f, 0.0f, 0.0f, 1.0f);
        glMaterialf(GL_FRONT, GL_SHININESS, 0.0f);
    }
    if (alphaTest_)
        glDisable(GL_ALPHA_TEST);
    if (secondUnit_) {
        selectTextureUnit(1);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glDisable(GL_TEXTURE_2D);
        selectTextureUnit(0);
        glDisable(GL_TEXTURE_2D);
    }
    if (outline_) {
        selectTextureUnit(1);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glDisable(GL_TEXTURE_2D);
        selectTextureUnit(0);
        glDisable(GL_TEXTURE_1D);
    }
    if (cubeMapInUse_) {
        selectTextureUnit(1);
        glDisable(GL_TEXTURE_CUBE_MAP);
        selectTextureUnit(0);
        glDisable(GL_TEXTURE_CUBE_MAP);
    }
    if (bumpMap_ != nullptr) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        selectTextureUnit(2);
        glDisable(GL_TEXTURE_2D);
        selectTextureUnit(0);
    }
    if (twoSided_) {
        glEnable(GL_CULL_FACE);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    }
    if (transparent_) {
        glEnable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    }
    if (wireframe_)
        glPolygonMode(GL_FRONT, GL_FILL);
}
