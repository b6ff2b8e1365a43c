#pragma once
// Passes over the whole viewport that only add to the frame (blending with a
// destination factor of one), drawn off a multisampled frame. There every
// pass blends every sample of every pixel, although a picture laid evenly
// over whole pixels gives all samples of a pixel the same value: the passes
// are summed in a single-sampled texture of the viewport's size instead, and
// the sum is added to the frame in one pass. Each pass adds the same 8-bit
// amounts and saturates as it would on the frame, so the frame ends the same
// to the bit, and the GL state the passes leave behind stays as they left
// it. On a frame without samples the passes draw on the frame directly.
#include <GL/gl.h>

#include "platform/framebuffer.h"
#include "resources/draw/screen_quad.h"

class AdditivePasses {
public:
    AdditivePasses() = default;
    // Releases the texture.
    ~AdditivePasses();
    AdditivePasses(const AdditivePasses&) = delete;
    AdditivePasses& operator=(const AdditivePasses&) = delete;

    // From here on the caller's passes go to the cleared sum when the frame
    // being drawn is multisampled, the viewport starts at the origin and the
    // sum can be made; else to the frame. The viewport must stay the same
    // until end. With the scissor test on, only the scissor box of the sum
    // is cleared, and end adds only that box.
    void begin();
    // Adds the sum over the viewport (blending (GL_ONE, GL_ONE)) when begin
    // redirected the passes; every state it sets for that is put back.
    void end();

private:
    // A texture and framebuffer of w x h, made again when the size changes;
    // false when the driver cannot give them.
    bool prepare(int w, int h);
    void release();

    platform::Framebuffer framebuffer_;
    UnitQuad quad_;
    GLuint texture_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool collecting_ = false;
};
