#include "tests/support/gl_test.h"

#include <GL/gl.h>

#include <cstdlib>

namespace {

std::unique_ptr<GLWindow>& sharedWindow()
{
    static std::unique_ptr<GLWindow> window;
    return window;
}

}  // namespace

void GLTest::SetUpTestSuite()
{
    if (sharedWindow() != nullptr)
        return;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    sharedWindow() = std::make_unique<GLWindow>(false, "stillwater test", 640, 480, 0, 0.0f, clock());
}

void GLTest::TearDownTestSuite()
{
    // The window stays for the next suite of the binary: making a context
    // is the slowest step of a GL test.
}

GLWindow& GLTest::window() { return *sharedWindow(); }

platform::ManualClock& GLTest::clock()
{
    static platform::ManualClock manual;
    return manual;
}

Rgba readPixel(int x, int y)
{
    Rgba pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
    return pixel;
}

std::vector<uint8_t> readFrameRgb()
{
    std::vector<uint8_t> rgb(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

Rgba readPixelFromTop(int x, int y)
{
    constexpr int windowHeight = 480;
    return readPixel(x, windowHeight - 1 - y);
}

std::string testDataPath(const std::string& relative) { return std::string(SW_TESTDATA_DIR) + "/" + relative; }
