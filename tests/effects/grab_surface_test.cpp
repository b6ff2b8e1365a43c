#include "tests/support/gl_test.h"

#include "effects/frame_grab.h"
#include "resources/textures/texture.h"
#include "resources/textures/texture_manager.h"
#include "shell/glwindow.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int grabSize = 512;
constexpr uint8_t marker = 0x55;

class GrabSurfaceTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glViewport(0, 0, 640, 480);
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glDisable(GL_DEPTH_TEST);
    }

    // A grab texture with every texel set to the marker.
    static Texture* createMarkedTexture(const char* name)
    {
        Texture* texture = TextureManager::createTexture(name, grabSize, grabSize, GL_TEXTURE_2D, GL_RGBA);
        const std::vector<uint8_t> texels(static_cast<size_t>(grabSize) * grabSize * 4, marker);
        texture->bind();
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, grabSize, grabSize, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return texture;
    }
    static std::vector<uint8_t> readTexture(const Texture* texture)
    {
        std::vector<uint8_t> texels(static_cast<size_t>(grabSize) * grabSize * 4);
        texture->bind();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }
    // Turned triangles whose edges cross the samples of many pixels, and one
    // running past the corner's top (row 480 and beyond).
    static void drawEdges()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, grabSize, 0, grabSize, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glBegin(GL_TRIANGLES);
        glColor4f(0.9f, 0.4f, 0.1f, 1.0f);
        glVertex2f(13.3f, 7.1f);
        glVertex2f(301.7f, 95.2f);
        glVertex2f(77.9f, 410.6f);
        glColor4f(0.2f, 0.8f, 0.6f, 0.5f);
        glVertex2f(250.2f, 200.4f);
        glVertex2f(505.1f, 300.9f);
        glVertex2f(350.6f, 511.0f);
        glEnd();
        glColor4f(1, 1, 1, 1);
    }
};

TEST_F(GrabSurfaceTest, TheSurfaceGivesTheCornersTexelsAndLeavesTheFrame)
{
    Texture* onSurface = createMarkedTexture("grab surface test 1");
    Texture* inCorner = createMarkedTexture("grab surface test 2");
    ASSERT_NE(onSurface, nullptr);
    ASSERT_NE(inCorner, nullptr);
    ASSERT_TRUE(window().showFrame().created());

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<uint8_t> frameBefore = readFrameRgba();
    {
        GrabCorner corner(grabSize, grabSize);
        drawEdges();
        copyCornerInto(onSurface, grabSize, grabSize);
    }
    EXPECT_EQ(readFrameRgba(), frameBefore) << "the grab drew on the frame";
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

    // The corner of the frame, drawn and copied as grabs were before there
    // were surfaces: rows 480 and beyond are past the frame and stay.
    glViewport(0, 0, grabSize, grabSize);
    glScissor(0, 0, grabSize, grabSize);
    glEnable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawEdges();
    inCorner->bind();
    copyFrameInto(GL_TEXTURE_2D, 0, 0, 0, 0, grabSize, grabSize);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, 640, 480);

    const std::vector<uint8_t> surfaceTexels = readTexture(onSurface);
    const std::vector<uint8_t> cornerTexels = readTexture(inCorner);
    size_t differing = 0;
    for (size_t i = 0; i < surfaceTexels.size(); ++i)
        differing += surfaceTexels[i] != cornerTexels[i] ? 1 : 0;
    EXPECT_EQ(differing, 0u);
    const size_t rowBytes = static_cast<size_t>(grabSize) * 4;
    EXPECT_EQ(surfaceTexels[480 * rowBytes + 40], marker);
    EXPECT_EQ(surfaceTexels[511 * rowBytes + 400], marker);
    EXPECT_NE(surfaceTexels[100 * rowBytes + 100 * 4], marker);  // the first triangle
    TextureManager::releaseTexture(onSurface);
    TextureManager::releaseTexture(inCorner);
}

TEST_F(GrabSurfaceTest, GrabsInsideAGrabDrawBackIntoItAndLeaveTheFrame)
{
    Texture* inner = createMarkedTexture("grab surface test 3");
    Texture* outer = createMarkedTexture("grab surface test 4");
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<uint8_t> frameBefore = readFrameRgba();
    {
        GrabCorner corner(grabSize, grabSize);
        GLint outerSurface = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &outerSurface);
        {
            GrabCorner nested(64, 64);
            glClearColor(1, 1, 1, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            copyCornerInto(inner, 64, 64);
        }
        {
            GrabCorner same(grabSize, grabSize);  // draws in the outer surface's corner
            GLint drawing = 0;
            glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
            EXPECT_EQ(drawing, outerSurface);
        }
        GLint drawing = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
        EXPECT_EQ(drawing, outerSurface);
        drawEdges();
        copyCornerInto(outer, grabSize, grabSize);
    }
    EXPECT_EQ(readFrameRgba(), frameBefore) << "a grab drew on the frame";
    const std::vector<uint8_t> innerTexels = readTexture(inner);
    EXPECT_EQ(innerTexels[(32 * grabSize + 32) * 4], 255);  // the nested grab's white
    const std::vector<uint8_t> outerTexels = readTexture(outer);
    EXPECT_EQ(outerTexels[(100 * grabSize + 100) * 4], 230);  // the first triangle's red
    EXPECT_EQ(outerTexels[(450 * grabSize + 20) * 4], 255);   // the clear colour of the last grab
    TextureManager::releaseTexture(inner);
    TextureManager::releaseTexture(outer);
}

}  // namespace
