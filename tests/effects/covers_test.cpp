#include "tests/support/commands.h"
#include "tests/support/gl_test.h"

#include "effects/beat_effects.h"
#include "platform/framebuffer_calls.h"
#include "shell/glwindow.h"
#include "timeline/registry.h"
#include "timeline/window_frame_stages.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr uint8_t backgroundRed = 51, triangleRed = 230;

// Turned triangles on a blue background: pixels are either one of the two
// colours or, on the triangles' edges, a mix of their samples. It notes the
// samples of what it draws on.
class EdgesEffect : public Effect {
public:
    void start(int32_t time) override { reset(time); }
    void render(int32_t) override
    {
        glGetIntegerv(GL_SAMPLES, &samplesSeen);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 0, 480, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glColor4f(triangleRed / 255.0f, 0.4f, 0.1f, 1.0f);
        glBegin(GL_TRIANGLES);
        glVertex2f(13.3f, 7.1f);
        glVertex2f(601.7f, 95.2f);
        glVertex2f(77.9f, 470.6f);
        glEnd();
        glColor4f(1, 1, 1, 1);
        glEnable(GL_DEPTH_TEST);
    }
    GLint samplesSeen = -1;
};

class CoversTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glViewport(0, 0, 640, 480);
        edges.activate();
        registry.set(10, &edges);
        invert.start(0);
        registry.set(61, &invert);
    }
    void TearDown() override { window().showFrame().bindForDrawing(); }

    std::vector<uint8_t> drawFrame(int32_t time)
    {
        glClearColor(backgroundRed / 255.0f, 0.3f, 0.9f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        registry.renderAll(time);
        return readFrameRgba();
    }
    // What the window shows after the frame is presented at its own size.
    static std::vector<uint8_t> presented()
    {
        window().showFrame().present(640, 480);
        const platform::FramebufferCalls& gl = platform::framebufferCalls();
        GLint read = 0;
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
        gl.bind(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        std::vector<uint8_t> pixels(640 * 480 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        gl.bind(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
        return pixels;
    }

    EffectRegistry registry;
    EdgesEffect edges;
    InvertEffect invert;
};

TEST_F(CoversTest, CoversOnTheResolvedFrameDifferOnlyOnEdgesByOneLevel)
{
    // Covers on the samples, then the picture under them for the edges.
    invert.activate();
    invert.command(numericCommand(400, {1000}));
    const std::vector<uint8_t> onSamples = drawFrame(1001);
    invert.deactivate();
    const std::vector<uint8_t> under = drawFrame(1001);

    WindowFrameStages stages(window().showFrame());
    registry.setFrameStages(&stages);
    invert.activate();
    const std::vector<uint8_t> onResolved = drawFrame(1002);
    EXPECT_EQ(window().showFrame().drawingOnResolved(), requestedSamples() > 0);
    EXPECT_EQ(presented(), onResolved) << "presentation shows what read-back shows";

    int differing = 0, largest = 0;
    for (size_t i = 0; i < onSamples.size(); i += 4) {
        const bool edge = under[i] != backgroundRed && under[i] != triangleRed;
        for (size_t c = 0; c < 3; ++c) {
            const int d = std::abs(onSamples[i + c] - onResolved[i + c]);
            largest = std::max(largest, d);
            if (d != 0) {
                ++differing;
                EXPECT_TRUE(edge) << "pixel " << i / 4 % 640 << "," << i / 4 / 640 << " is no edge";
            }
        }
    }
    EXPECT_LE(largest, 1);
    EXPECT_EQ(onResolved[(240 * 640 + 200) * 4], 255 - triangleRed);  // inverted inside the triangle

    // The next frame draws on the samples again, and a frame whose last
    // effect is no cover is not resolved early.
    invert.deactivate();
    drawFrame(1003);
    EXPECT_EQ(edges.samplesSeen, requestedSamples());
    EXPECT_FALSE(window().showFrame().drawingOnResolved());
    registry.setFrameStages(nullptr);
}

}  // namespace
