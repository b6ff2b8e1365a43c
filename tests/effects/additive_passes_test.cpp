// Additive passes summed off a multisampled frame end in the same pixels, and
// leave the same GL state, as the passes drawn on the frame one by one.
#include "tests/support/gl_test.h"

#include "effects/additive_passes.h"
#include "platform/native_window.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

namespace {

struct MultisampleCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC storageMultisample;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC attachRenderbuffer;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

template <typename Pointer>
Pointer entry(const char* name)
{
    return reinterpret_cast<Pointer>(platform::glProcAddress(name));
}

MultisampleCalls calls()
{
    return {entry<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers"),
            entry<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers"),
            entry<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer"),
            entry<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers"),
            entry<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers"),
            entry<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer"),
            entry<PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC>("glRenderbufferStorageMultisample"),
            entry<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer"),
            entry<PFNGLBLITFRAMEBUFFERPROC>("glBlitFramebuffer")};
}

// A 640 x 480 frame with 4 samples, colour and depth, bound while it lives;
// the show frame is bound again afterwards.
class MultisampledFrame {
public:
    MultisampledFrame() : gl_(calls())
    {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &showFrame_);
        gl_.genFramebuffers(1, &framebuffer_);
        gl_.genRenderbuffers(2, renderbuffers_);
        gl_.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[0]);
        gl_.storageMultisample(GL_RENDERBUFFER, 4, GL_RGBA8, 640, 480);
        gl_.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[1]);
        gl_.storageMultisample(GL_RENDERBUFFER, 4, GL_DEPTH24_STENCIL8, 640, 480);
        gl_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        gl_.attachRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers_[0]);
        gl_.attachRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, renderbuffers_[1]);
    }
    ~MultisampledFrame()
    {
        gl_.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(showFrame_));
        gl_.deleteRenderbuffers(2, renderbuffers_);
        gl_.deleteFramebuffers(1, &framebuffer_);
    }
    MultisampledFrame(const MultisampledFrame&) = delete;
    MultisampledFrame& operator=(const MultisampledFrame&) = delete;

    // The frame resolved into the show frame and read back.
    std::vector<uint8_t> resolve()
    {
        gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        gl_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(showFrame_));
        gl_.blitFramebuffer(0, 0, 640, 480, 0, 0, 640, 480, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        gl_.bindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(showFrame_));
        std::vector<uint8_t> rgb = readFrameRgb();
        gl_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        return rgb;
    }

private:
    MultisampleCalls gl_;
    GLint showFrame_ = 0;
    GLuint framebuffer_ = 0;
    GLuint renderbuffers_[2] = {};
};

// A checkerboard texture to add, and a turned triangle under it whose edges
// give the samples of a pixel different colours.
class AdditivePassesTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        std::vector<uint8_t> texels(64 * 64 * 4);
        for (int i = 0; i < 64 * 64; ++i) {
            const bool light = ((i % 64) / 8 + (i / 64) / 8) % 2 == 0;
            texels[static_cast<size_t>(i) * 4 + 0] = light ? 200 : 30;
            texels[static_cast<size_t>(i) * 4 + 1] = static_cast<uint8_t>(i % 251);
            texels[static_cast<size_t>(i) * 4 + 2] = 90;
            texels[static_cast<size_t>(i) * 4 + 3] = light ? 255 : 120;
        }
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    void TearDown() override { glDeleteTextures(1, &texture_); }

    static void drawBackground()
    {
        glViewport(0, 0, 640, 480);
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glColor4f(0.9f, 0.8f, 0.1f, 0.5f);
        glBegin(GL_TRIANGLES);
        glVertex2f(-0.83f, -0.71f);
        glVertex2f(0.77f, -0.12f);
        glVertex2f(-0.21f, 0.93f);
        glEnd();
    }

    // Three zoomed copies added with (GL_SRC_ALPHA, GL_ONE), bright enough to
    // saturate in places; the state they set is left behind on purpose.
    void drawPasses() const
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        for (int pass = 0; pass < 3; ++pass) {
            const float inset = 0.05f * static_cast<float>(pass);
            glColor4f(0.8f, 0.7f, 1.0f, 0.9f - 0.2f * static_cast<float>(pass));
            glBegin(GL_QUADS);
            glTexCoord2f(inset, inset);
            glVertex2f(0.0f, 1.0f);
            glTexCoord2f(1.0f - inset, inset);
            glVertex2f(1.0f, 1.0f);
            glTexCoord2f(1.0f - inset, 1.0f - inset);
            glVertex2f(1.0f, 0.0f);
            glTexCoord2f(inset, 1.0f - inset);
            glVertex2f(0.0f, 0.0f);
            glEnd();
        }
        glTranslatef(0.25f, 0.5f, 0.0f);
    }

    GLuint texture_ = 0;
};

struct LeftState {
    GLint blendSource = 0, blendDestination = 0;
    bool blend = false, depthTest = false, texture = false;
    GLfloat modelview[16] = {};
    GLfloat projection[16] = {};
};

LeftState readState()
{
    LeftState s;
    glGetIntegerv(GL_BLEND_SRC, &s.blendSource);
    glGetIntegerv(GL_BLEND_DST, &s.blendDestination);
    s.blend = glIsEnabled(GL_BLEND);
    s.depthTest = glIsEnabled(GL_DEPTH_TEST);
    s.texture = glIsEnabled(GL_TEXTURE_2D);
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
    return s;
}

TEST_F(AdditivePassesTest, SummedOffTheFrameGivesTheSamePixelsAndState)
{
    MultisampledFrame frame;
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    ASSERT_EQ(samples, 4);

    drawBackground();
    drawPasses();
    const LeftState direct = readState();
    const std::vector<uint8_t> expected = frame.resolve();

    AdditivePasses passes;
    for (int round = 0; round < 2; ++round) {  // the second reuses the sum
        drawBackground();
        passes.begin();
        drawPasses();
        passes.end();
        const LeftState summed = readState();
        const std::vector<uint8_t> actual = frame.resolve();
        EXPECT_EQ(summed.blendSource, direct.blendSource);
        EXPECT_EQ(summed.blendDestination, direct.blendDestination);
        EXPECT_EQ(summed.blend, direct.blend);
        EXPECT_EQ(summed.depthTest, direct.depthTest);
        EXPECT_EQ(summed.texture, direct.texture);
        for (int i = 0; i < 16; ++i) {
            EXPECT_FLOAT_EQ(summed.modelview[i], direct.modelview[i]);
            EXPECT_FLOAT_EQ(summed.projection[i], direct.projection[i]);
        }
        int differing = 0;
        int largest = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            const int d = std::abs(static_cast<int>(expected[i]) - static_cast<int>(actual[i]));
            differing += d != 0 ? 1 : 0;
            largest = std::max(largest, d);
        }
        // Only the resolve of an edge pixel may round the other way.
        EXPECT_LE(largest, 1);
        EXPECT_LT(differing, 640 * 4);
        EXPECT_GT(redAt(actual, 320, 240), 100);  // the passes did add
    }
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

TEST_F(AdditivePassesTest, WithoutSamplesThePassesDrawOnTheFrame)
{
    drawBackground();
    drawPasses();
    const std::vector<uint8_t> expected = readFrameRgb();
    AdditivePasses passes;
    drawBackground();
    passes.begin();
    drawPasses();
    passes.end();
    EXPECT_EQ(readFrameRgb(), expected);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

}  // namespace
