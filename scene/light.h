#pragma once
// A fixed-function OpenGL light placed at its own node position (the parent
// chain is not applied), optionally aimed at a target, optionally
// flickering, optionally the scene's shadow caster.
#include <GL/gl.h>

#include "scene/color4.h"
#include "scene/scene_node.h"

class Texture;

class Light : public SceneNode {
public:
    // Default colours, no attenuation but the constant 1, no spot, enabled.
    // Reads GL_MAX_LIGHTS (needs a current context).
    Light(int32_t id, const std::string& name);
    SceneNode* clone() const override;

    // Colours are stored; the scene sends them when it adds the light.
    void setAmbient(const Color4& c) { ambient_ = c; }
    // Keeps the previous diffuse as the saved diffuse, then replaces it.
    void setDiffuse(const Color4& c);
    void setSpecular(const Color4& c) { specular_ = c; }
    // Ambient, diffuse and specular = c, then ambient x 0.3 (rgb). Leaves
    // the saved diffuse alone.
    void setColour(const Color4& c);
    const Color4& ambient() const { return ambient_; }
    const Color4& diffuse() const { return diffuse_; }
    const Color4& specular() const { return specular_; }
    const Color4& savedDiffuse() const { return savedDiffuse_; }

    // Stored and sent to the GL light at once.
    void setConstantAttenuation(float f);
    void setLinearAttenuation(float f);
    void setQuadraticAttenuation(float f);
    float constantAttenuation() const { return constant_; }
    float linearAttenuation() const { return linear_; }
    float quadraticAttenuation() const { return quadratic_; }
    // Stored; sent at the next frame set-up. 180 degrees is no spot.
    void setSpotCutoff(float degrees) { spotCutoff_ = degrees; }
    void setSpotExponent(float e) { spotExponent_ = e; }
    float spotCutoff() const { return spotCutoff_; }
    float spotExponent() const { return spotExponent_; }

    // Stored, and the GL light switched on or off at once.
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    // Turning it off puts the saved diffuse back and sends it.
    void setFlicker(bool on);
    bool flicker() const { return flicker_; }
    void setShadowCaster(bool on) { shadowCaster_ = on; }
    bool shadowCaster() const { return shadowCaster_; }
    // A projector: the texture is kept and the GL light switched off.
    void setProjectedTexture(Texture* texture);
    Texture* projectedTexture() const { return projected_; }

    void setTargetId(int32_t id) { targetId_ = id; }
    int32_t targetId() const { return targetId_; }
    void setTarget(SceneNode* node) { target_ = node; }
    SceneNode* target() const { return target_; }

    // Given by the scene when the light is added; GL_LIGHT0 + number.
    void setLightNumber(int number) { number_ = number; }
    int lightNumber() const { return number_; }
    GLenum glLight() const { return static_cast<GLenum>(GL_LIGHT0 + number_); }
    // Lights beyond the driver's count keep their values but never reach
    // GL: their numbers name no light there.
    bool hasGLLight() const { return number_ >= 0 && number_ < maxLights_; }
    // Sends ambient, diffuse and specular with alpha 1.
    void sendColours() const;

    // Per frame, after the camera is applied: flicker, position, the
    // attenuations and the spot; a disabled light is switched off.
    void setupFrame();

    // GL_MAX_LIGHTS as the last light construction read it.
    static int maxLights() { return maxLights_; }

private:
    static void sendColour(GLenum light, GLenum which, const Color4& c);

    Color4 ambient_{0.2f, 0.2f, 0.2f, 1.0f};
    Color4 diffuse_{0.8f, 0.8f, 0.8f, 1.0f};
    Color4 specular_{1.0f, 1.0f, 1.0f, 1.0f};
    Color4 savedDiffuse_{1.0f, 1.0f, 1.0f, 1.0f};
    float constant_ = 1.0f;
    float linear_ = 0.0f;
    float quadratic_ = 0.0f;
    float spotCutoff_ = 180.0f;
    float spotExponent_ = 0.0f;
    bool enabled_ = true;
    bool flicker_ = false;
    bool shadowCaster_ = false;
    Texture* projected_ = nullptr;
    int number_ = 0;
    int32_t targetId_ = 0;
    SceneNode* target_ = nullptr;

    static inline int maxLights_ = 8;
};
