#pragma once
// The base of the filters that post-process another effect's picture: in
// the pre-render pass the source draws into a small scissored corner of the
// show frame, which is copied into a texture and cleared again.
#include <GL/gl.h>

#include "timeline/effect.h"

class Texture;

class FrameGrabEffect : public Effect {
public:
    // reset, then the source's start when a source is set.
    void start(int32_t time) override;
    // The base table, then code 70: source := the registry's effect at a0
    // (none for an empty or out-of-range place).
    void command(Command c) override;

    Effect* source() const { return source_; }

protected:
    // Lets the source draw into the w x h corner at the origin and copies it
    // into target; the viewport, scissor test and buffers are left as they
    // were. Nothing without a source.
    void grab(int w, int h, const Texture* target, int32_t time);

    Effect* source_ = nullptr;
};

// Saves the viewport, and narrows drawing to the w x h corner at the origin
// (viewport and scissor box), clearing it; the destructor clears the corner
// again, restores the viewport and turns the scissor test off.
class GrabCorner {
public:
    GrabCorner(int w, int h);
    ~GrabCorner();
    GrabCorner(const GrabCorner&) = delete;
    GrabCorner& operator=(const GrabCorner&) = delete;

private:
    GLint viewport_[4] = {};
};

// Copies the w x h corner at the origin of the frame being drawn into
// texture (through the show frame, so a multisampled one too).
void copyCornerInto(const Texture* texture, int w, int h);

// Adds texture over the whole screen with colour (k, k, k), blending
// (GL_ONE, GL_ONE), in a unit square of its own; leaves the matrices as they
// were, depth test on, blending off and the colour white.
void addOverlay(const Texture* texture, float k);
