#pragma once
// A headless GL context for tests: one 640 x 480 window on SDL's offscreen
// driver (Mesa's software rasteriser), shared by every test of a suite.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "shell/glwindow.h"

class GLTest : public ::testing::Test {
protected:
    // Makes the shared window, or resets the GL state of the one there is.
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // Every test starts from the state the window had when it was made,
    // whatever the tests before it left (see resetGLState). Fixtures with a
    // SetUp of their own call this first.
    void SetUp() override;

    // Samples of the suite's show frame: SW_TEST_SAMPLES, 0 without it.
    static int requestedSamples();
    // The suite's window; its timer runs on clock().
    static GLWindow& window();
    static platform::ManualClock& clock();
};

// Puts the current context back to the state of a freshly made window with
// the effects' conventions: the show frame bound for drawing, viewport and
// perspective, matrix stacks at depth 1, depth test on (GL_LEQUAL) with
// depth writes, colour white, and off: blending, culling, lighting, fog,
// alpha, scissor and stencil tests, polygon offset, line smoothing, texturing
// and coordinate generation on every unit, client arrays, buffer bindings.
void resetGLState();

struct Rgba {
    uint8_t r, g, b, a;
};

// The region's pixels of the show frame the window draws into (through
// platform::ShowFrame::readPixels, whatever framebuffer is bound), as bytes
// of format, bottom row first, rows packed without padding.
void readShowFrame(int x, int y, int w, int h, GLenum format, void* pixels);

// Reads one pixel of the show frame; (0, 0) is the bottom-left corner.
Rgba readPixel(int x, int y);

// Reads one pixel counted from the top-left corner, as a picture is seen.
Rgba readPixelFromTop(int x, int y);

// The whole 640 x 480 show frame as RGB bytes, bottom row first.
std::vector<uint8_t> readFrameRgb();
// The same as RGBA bytes.
std::vector<uint8_t> readFrameRgba();

// The red byte of pixel (x, y) of such a frame, bottom-left origin.
inline int redAt(const std::vector<uint8_t>& rgb, int x, int y) { return rgb[(static_cast<size_t>(y) * 640 + x) * 3]; }

// Absolute path of a shared test input under the testdata folder.
std::string testDataPath(const std::string& relative);
