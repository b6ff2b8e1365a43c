#include "tests/support/gl_test.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdlib>

#include "platform/native_window.h"
#include "shell/extensions.h"

namespace {

std::unique_ptr<GLWindow>& sharedWindow()
{
    static std::unique_ptr<GLWindow> window;
    return window;
}

}  // namespace

void GLTest::SetUpTestSuite()
{
    // Suites make their GL objects here, before the first SetUp: they too
    // start from the reset state, not from what the suite before left.
    if (sharedWindow() != nullptr) {
        resetGLState();
        return;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // The suite runs without samples unless its test run asks for some (a
    // second run of the drawing tests whose results must not depend on them).
    sharedWindow() = std::make_unique<GLWindow>(false, "stillwater test", 640, 480, requestedSamples(), 0.0f, clock());
}

void GLTest::TearDownTestSuite()
{
    // The window stays for the next suite of the binary: making a context
    // is the slowest step of a GL test.
}

void GLTest::SetUp()
{
    resetGLState();
    ASSERT_EQ(window().samples(), requestedSamples()) << "the show frame lacks the samples this run asks for";
}

int GLTest::requestedSamples()
{
    const char* samples = std::getenv("SW_TEST_SAMPLES");
    return samples != nullptr ? std::atoi(samples) : 0;
}

GLWindow& GLTest::window() { return *sharedWindow(); }

platform::ManualClock& GLTest::clock()
{
    static platform::ManualClock manual;
    return manual;
}

namespace {

void popMatrices(GLenum mode, GLenum depthQuery)
{
    glMatrixMode(mode);
    GLint depth = 1;
    glGetIntegerv(depthQuery, &depth);
    for (; depth > 1; --depth)
        glPopMatrix();
    glLoadIdentity();
}

void resetTextureUnits()
{
    const int units = std::max(1, Extensions::textureUnits());
    for (int unit = units - 1; unit >= 0; --unit) {
        if (ext::glActiveTextureARB != nullptr)
            ext::glActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
        if (ext::glClientActiveTextureARB != nullptr)
            ext::glClientActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
        for (GLenum target : {GL_TEXTURE_1D, GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP})
            glDisable(target);
        glBindTexture(GL_TEXTURE_1D, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        for (GLenum coordinate : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q})
            glDisable(coordinate);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        popMatrices(GL_TEXTURE, GL_TEXTURE_STACK_DEPTH);
    }
}

void resetLighting()
{
    glDisable(GL_LIGHTING);
    GLint lights = 8;
    glGetIntegerv(GL_MAX_LIGHTS, &lights);
    for (GLint i = 0; i < lights; ++i)
        glDisable(static_cast<GLenum>(GL_LIGHT0 + i));
    const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
    const GLfloat materialAmbient[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat materialDiffuse[] = {0.8f, 0.8f, 0.8f, 1.0f};
    const GLfloat none[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, materialAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, materialDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_NORMALIZE);
}

}  // namespace

void resetGLState()
{
    GLint depth = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    for (; depth > 0; --depth)
        glPopAttrib();
    glGetIntegerv(GL_CLIENT_ATTRIB_STACK_DEPTH, &depth);
    for (; depth > 0; --depth)
        glPopClientAttrib();
    if (GLWindow* window = currentWindow())
        window->showFrame().bindForDrawing();
    if (ext::glBindBufferARB != nullptr) {
        ext::glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
        ext::glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    }

    resetTextureUnits();
    for (GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY})
        glDisableClientState(array);
    resetLighting();
    for (GLenum capability : {GL_BLEND, GL_CULL_FACE, GL_FOG, GL_ALPHA_TEST, GL_SCISSOR_TEST, GL_STENCIL_TEST,
                              GL_POLYGON_OFFSET_FILL, GL_POLYGON_OFFSET_LINE, GL_LINE_SMOOTH})
        glDisable(capability);
    glBlendFunc(GL_ONE, GL_ZERO);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLineWidth(1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);

    popMatrices(GL_PROJECTION, GL_PROJECTION_STACK_DEPTH);
    popMatrices(GL_MODELVIEW, GL_MODELVIEW_STACK_DEPTH);
    if (GLWindow* window = currentWindow())
        window->resize(640, 480);
    else
        glViewport(0, 0, 640, 480);
    // Errors a test before left behind are not this test's.
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

void readShowFrame(int x, int y, int w, int h, GLenum format, void* pixels)
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (GLWindow* window = currentWindow())
        window->showFrame().readPixels(x, y, w, h, format, GL_UNSIGNED_BYTE, pixels);
}

Rgba readPixel(int x, int y)
{
    Rgba pixel{};
    readShowFrame(x, y, 1, 1, GL_RGBA, &pixel);
    return pixel;
}

std::vector<uint8_t> readFrameRgb()
{
    std::vector<uint8_t> rgb(640 * 480 * 3);
    readShowFrame(0, 0, 640, 480, GL_RGB, rgb.data());
    return rgb;
}

std::vector<uint8_t> readFrameRgba()
{
    std::vector<uint8_t> rgba(640 * 480 * 4);
    readShowFrame(0, 0, 640, 480, GL_RGBA, rgba.data());
    return rgba;
}

Rgba readPixelFromTop(int x, int y)
{
    constexpr int windowHeight = 480;
    return readPixel(x, windowHeight - 1 - y);
}

std::string testDataPath(const std::string& relative) { return std::string(SW_TESTDATA_DIR) + "/" + relative; }
