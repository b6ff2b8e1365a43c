#include "timeline/blend_effect.h"

GLenum blendFactor(int code)
{
    switch (code) {
    case 10: return GL_ONE;
    case 11: return GL_ZERO;
    case 12: return GL_SRC_ALPHA;
    case 13: return GL_DST_ALPHA;
    case 14: return GL_ONE_MINUS_SRC_ALPHA;
    case 15: return GL_ONE_MINUS_DST_ALPHA;
    case 16: return GL_SRC_COLOR;
    case 17: return GL_DST_COLOR;
    case 18: return GL_ONE_MINUS_SRC_COLOR;
    case 19: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ZERO;
    }
}

void BlendEffect::start(int32_t)
{
    forceBlend_ = false;
    srcFactor_ = GL_SRC_ALPHA;
    dstFactor_ = GL_ONE_MINUS_SRC_ALPHA;
    colorA.set(1.0f);
}

void BlendEffect::command(Command c)
{
    switch (c.code) {
    case 100:
        forceBlend_ = true;
        colorA.set(static_cast<float>(c.first()) / 255.0f);
        break;
    case 101:
        forceBlend_ = false;
        colorA.set(1.0f);
        break;
    case 102: srcFactor_ = blendFactor(c.first()); break;
    case 103: dstFactor_ = blendFactor(c.first()); break;
    case 204:
        srcFactor_ = blendFactor(c.args[0]);
        dstFactor_ = blendFactor(c.args[1]);
        break;
    default: break;
    }
    Effect::command(c);
}

void BlendEffect::beginBlend()
{
    if (forceBlend_ || colorA.get() < 1.0f) {
        glEnable(GL_BLEND);
        glBlendFunc(srcFactor_, dstFactor_);
    } else {
        glDisable(GL_BLEND);
    }
    glColor4f(1.0f, 1.0f, 1.0f, colorA.get());
}

void BlendEffect::endBlend()
{
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
