#include "scene/light.h"

#include "timeline/demo_random.h"

Light::Light(int32_t id, const std::string& name) : SceneNode(id, name)
{
    GLint count = 8;
    glGetIntegerv(GL_MAX_LIGHTS, &count);
    maxLights_ = count;
}

SceneNode* Light::clone() const
{
    auto* copy = new Light(id(), name());
    copyFieldsTo(*copy);
    copy->ambient_ = ambient_;
    copy->diffuse_ = diffuse_;
    copy->specular_ = specular_;
    copy->savedDiffuse_ = savedDiffuse_;
    copy->constant_ = constant_;
    copy->linear_ = linear_;
    copy->quadratic_ = quadratic_;
    copy->spotCutoff_ = spotCutoff_;
    copy->spotExponent_ = spotExponent_;
    copy->enabled_ = enabled_;
    copy->flicker_ = flicker_;
    copy->shadowCaster_ = shadowCaster_;
    copy->projected_ = projected_;
    copy->number_ = number_;
    copy->targetId_ = targetId_;
    copy->target_ = target_;
    cloneChildrenTo(*copy);
    return copy;
}

void Light::sendColour(GLenum light, GLenum which, const Color4& c)
{
    const GLfloat values[4] = {c.r, c.g, c.b, 1.0f};
    glLightfv(light, which, values);
}

void Light::setDiffuse(const Color4& c)
{
    savedDiffuse_ = diffuse_;
    diffuse_ = c;
}

void Light::setColour(const Color4& c)
{
    ambient_ = c;
    diffuse_ = c;
    specular_ = c;
    ambient_.r *= 0.3f;
    ambient_.g *= 0.3f;
    ambient_.b *= 0.3f;
}

void Light::setConstantAttenuation(float f)
{
    constant_ = f;
    if (hasGLLight())
        glLightf(glLight(), GL_CONSTANT_ATTENUATION, f);
}

void Light::setLinearAttenuation(float f)
{
    linear_ = f;
    if (hasGLLight())
        glLightf(glLight(), GL_LINEAR_ATTENUATION, f);
}

void Light::setQuadraticAttenuation(float f)
{
    quadratic_ = f;
    if (hasGLLight())
        glLightf(glLight(), GL_QUADRATIC_ATTENUATION, f);
}

void Light::setEnabled(bool on)
{
    enabled_ = on;
    if (!hasGLLight())
        return;
    if (on)
        glEnable(glLight());
    else
        glDisable(glLight());
}

void Light::setFlicker(bool on)
{
    flicker_ = on;
    if (on)
        return;
    diffuse_ = savedDiffuse_;
    if (hasGLLight())
        sendColour(glLight(), GL_DIFFUSE, diffuse_);
}

void Light::setProjectedTexture(Texture* texture)
{
    projected_ = texture;
    setEnabled(false);
}

void Light::sendColours() const
{
    if (!hasGLLight())
        return;
    sendColour(glLight(), GL_AMBIENT, ambient_);
    sendColour(glLight(), GL_DIFFUSE, diffuse_);
    sendColour(glLight(), GL_SPECULAR, specular_);
}

void Light::setupFrame()
{
    if (!hasGLLight())
        return;
    const GLenum light = glLight();
    if (!enabled_) {
        glDisable(light);
        return;
    }
    if (flicker_) {
        const float f = demoRandomUnit();
        diffuse_ = Color4{savedDiffuse_.r * f, savedDiffuse_.g * f, savedDiffuse_.b * f, savedDiffuse_.a};
        sendColour(light, GL_DIFFUSE, diffuse_);
    }
    glEnable(light);
    const Vec3& p = position();
    const GLfloat where[4] = {p.x, p.y, p.z, 1.0f};
    glLightfv(light, GL_POSITION, where);
    glLightf(light, GL_CONSTANT_ATTENUATION, constant_);
    glLightf(light, GL_LINEAR_ATTENUATION, linear_);
    glLightf(light, GL_QUADRATIC_ATTENUATION, quadratic_);
    GLfloat direction[3] = {0.0f, 0.0f, -1.0f};
    if (target_ != nullptr) {
        const Vec3& t = target_->position();
        direction[0] = t.x - p.x;
        direction[1] = t.y - p.y;
        direction[2] = t.z - p.z;
    }
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glLightf(light, GL_SPOT_CUTOFF, spotCutoff_);
    glLightf(light, GL_SPOT_EXPONENT, spotExponent_);
}
