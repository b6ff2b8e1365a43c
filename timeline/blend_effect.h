#pragma once
// A base for effects that draw with configurable blending.
#include <GL/gl.h>

#include "timeline/effect.h"

// The GL blend factor of a script code: 10 GL_ONE, 11 GL_ZERO, 12
// GL_SRC_ALPHA, 13 GL_DST_ALPHA, 14 GL_ONE_MINUS_SRC_ALPHA, 15
// GL_ONE_MINUS_DST_ALPHA, 16 GL_SRC_COLOR, 17 GL_DST_COLOR, 18
// GL_ONE_MINUS_SRC_COLOR, 19 GL_ONE_MINUS_DST_COLOR; GL_ZERO otherwise.
GLenum blendFactor(int code);

class BlendEffect : public Effect {
public:
    BlendEffect() = default;

    // Blending back to alpha over the picture and fully opaque; the clock
    // is not reset.
    void start(int32_t time) override;
    // Own codes (100 to 103, 204) first, then the base table.
    void command(Command c) override;

    // Blending on when forced or translucent, off otherwise; colour white
    // with the effect's opacity.
    void beginBlend();
    // Blending off and colour white.
    void endBlend();
    void setForceBlend(bool flag) { forceBlend_ = flag; }

protected:
    bool forceBlend_ = false;
    GLenum srcFactor_ = GL_SRC_ALPHA;
    GLenum dstFactor_ = GL_ONE_MINUS_SRC_ALPHA;
};
