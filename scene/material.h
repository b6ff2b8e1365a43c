#pragma once
// How faces are drawn: GL material colours, up to five textures, blending,
// alpha test and a mode (0..11) that decides which texture sits on which
// texture unit and how the units combine. Shared by the faces that use it.
#include <GL/gl.h>

#include <cstdint>
#include <string>

#include "scene/color4.h"

class Texture;

class Material {
public:
    Material(int32_t id, const std::string& name) : name_(name), id_(id) {}
    // Deletes the normalization cube map it made (the shared "cubemap"
    // belongs to the texture manager).
    ~Material();
    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;

    const std::string& name() const { return name_; }
    int32_t id() const { return id_; }

    void setAmbient(const Color4& c) { ambient_ = c; }
    void setDiffuse(const Color4& c) { diffuse_ = c; }
    void setSpecular(const Color4& c) { specular_ = c; }
    // shininess = value x 128 (the file keeps 0..1).
    void setShininess(float value, float specularLevel);
    const Color4& ambient() const { return ambient_; }
    const Color4& diffuse() const { return diffuse_; }
    const Color4& specular() const { return specular_; }
    float shininess() const { return shininess_; }
    float specularLevel() const { return specularLevel_; }

    // Both recompute transparent (additive, or opacity below 1).
    void setOpacity(float opacity);
    void setAdditive(bool on);
    float opacity() const { return opacity_; }
    bool additive() const { return additive_; }
    bool transparent() const { return transparent_; }

    void setTwoSided(bool on) { twoSided_ = on; }
    void setWireframe(bool on) { wireframe_ = on; }
    void setUnlit(bool on) { unlit_ = on; }
    void setBaked(bool on) { baked_ = on; }
    void setAlphaRef(float ref) { alphaRef_ = ref; }
    bool twoSided() const { return twoSided_; }
    bool wireframe() const { return wireframe_; }
    bool unlit() const { return unlit_; }
    bool baked() const { return baked_; }
    bool alphaTest() const { return alphaTest_; }
    float alphaRef() const { return alphaRef_; }

    void setDiffuseMap(Texture* t) { diffuseMap_ = t; }
    void setReflectionMap(Texture* t) { reflectionMap_ = t; }
    void setLightMap(Texture* t) { lightMap_ = t; }
    void setBumpMap(Texture* t) { bumpMap_ = t; }
    // Keeps t and switches the alpha test on. When the diffuse map and t
    // both have pictures of the same size, the diffuse picture's alpha
    // becomes the grey of t and the diffuse texture is uploaded again.
    void setOpacityMap(Texture* t);
    Texture* diffuseMap() const { return diffuseMap_; }
    Texture* reflectionMap() const { return reflectionMap_; }
    Texture* lightMap() const { return lightMap_; }
    Texture* bumpMap() const { return bumpMap_; }
    Texture* opacityMap() const { return opacityMap_; }

    // Stores the mode and the flags it implies; 6 and 7 make the
    // normalization cube map, 10 and 11 take the shared "cubemap" texture.
    void setMode(int mode);
    int mode() const { return mode_; }
    bool lit() const { return lit_; }
    bool generatedCoordinates() const { return generated_; }
    bool outline() const { return outline_; }
    bool secondUnit() const { return secondUnit_; }
    bool cubeMapInUse() const { return cubeMapInUse_; }
    bool hasBumpMap() const { return bumpMap_ != nullptr; }
    Texture* dynamicCubeMap() const { return cubeMap_; }
    // Texels along one side of the dynamic cube map (0 without one).
    int dynamicCubeMapSize() const;
    GLuint normalizationCubeMap() const { return normalizationCubeMap_; }

    // Sets up GL state for drawing faces of this material; reset undoes
    // it. Leaves texture unit 0 active.
    void apply() const;
    void reset() const;

private:
    void applyMode() const;
    void buildNormalizationCubeMap();

    std::string name_;
    int32_t id_;
    Color4 ambient_{0.2f, 0.2f, 0.2f, 1.0f};
    Color4 diffuse_{0.8f, 0.8f, 0.8f, 1.0f};
    Color4 specular_{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess_ = 50.0f;
    float specularLevel_ = 0.0f;
    Texture* diffuseMap_ = nullptr;
    Texture* reflectionMap_ = nullptr;
    Texture* lightMap_ = nullptr;
    Texture* bumpMap_ = nullptr;
    Texture* opacityMap_ = nullptr;
    GLuint normalizationCubeMap_ = 0;
    Texture* cubeMap_ = nullptr;
    int mode_ = 0;
    float opacity_ = 1.0f;
    float alphaRef_ = 0.0f;
    bool alphaTest_ = false;
    bool twoSided_ = false;
    bool additive_ = false;
    bool unlit_ = false;
    bool wireframe_ = false;
    bool baked_ = false;
    bool transparent_ = false;
    bool lit_ = true;
    bool generated_ = false;
    bool outline_ = false;
    bool secondUnit_ = false;
    bool cubeMapInUse_ = false;
};

// Selects texture unit `unit` (0..3) for the fixed-function calls that follow.
void selectTextureUnit(int unit);
