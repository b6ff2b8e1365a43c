#include "tests/support/gl_test.h"

#include "resources/targets/render_target.h"

#include <GL/gl.h>

#include <vector>

namespace {

class RenderTargetTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glViewport(0, 0, 640, 480);
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // The texel at (x, y) of the 2D texture bound now.
    static std::vector<uint8_t> boundTexture(int width, int height)
    {
        std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
};

TEST_F(RenderTargetTest, DrawingLandsInTheTextureAndNotInTheWindow)
{
    RenderTarget target;
    EXPECT_FALSE(target.isCreated());
    target.begin();  // not created: nothing
    target.create(128, 64, false);
    ASSERT_TRUE(target.isCreated());
    target.create(256, 256, false);  // a second create changes nothing
    EXPECT_EQ(target.width(), 128);
    EXPECT_EQ(target.height(), 64);

    target.begin();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 128);
    EXPECT_EQ(viewport[3], 64);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    target.end();

    // The window's state is back as it was.
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat clear[4], projection[16];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[2], 1.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NE(projection[0], 2.0f);
    EXPECT_EQ(readPixel(320, 240).b, 255);
    EXPECT_EQ(readPixel(320, 240).r, 0);

    target.bindTexImage(RenderTarget::frontLeft);
    const std::vector<uint8_t> texels = boundTexture(128, 64);
    EXPECT_EQ(texels[0], 255);
    EXPECT_EQ(texels[2], 0);
    EXPECT_EQ(texels[(64 * 128 - 1) * 4], 255);
    target.releaseTexImage(RenderTarget::frontLeft);
}

TEST_F(RenderTargetTest, BeginMakesTheClampTextureAndRepeatIsKept)
{
    RenderTarget clamped;
    clamped.create(64, 64, false);
    clamped.begin();
    clamped.end();
    glBindTexture(GL_TEXTURE_2D, clamped.texture());
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);

    RenderTarget repeating;
    repeating.create(64, 64, false);
    repeating.makeRepeatTexture();
    repeating.begin();
    repeating.end();
    glBindTexture(GL_TEXTURE_2D, repeating.texture());
    GLint mag = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(mag, GL_NEAREST);
}

TEST_F(RenderTargetTest, DepthImageHoldsTheDrawnDepth)
{
    RenderTarget target;
    target.create(64, 64, true);
    ASSERT_TRUE(target.isCreated());
    target.begin();
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_QUADS);  // the left half at depth 0.5 (z = 0)
    glVertex3f(-1, -1, 0);
    glVertex3f(0, -1, 0);
    glVertex3f(0, 1, 0);
    glVertex3f(-1, 1, 0);
    glEnd();
    target.end();
    target.bindTexImage(RenderTarget::depthComponent);
    std::vector<float> depth(64 * 64);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    EXPECT_NEAR(depth[32 * 64 + 10], 0.5f, 0.01f);
    EXPECT_NEAR(depth[32 * 64 + 50], 1.0f, 0.01f);
}

TEST_F(RenderTargetTest, ColourOnlyTargetsStillTestDepth)
{
    // A 3D scene drawn into a colour-only target (the warp filter's): the
    // near red square drawn first must hide the far green one drawn after.
    RenderTarget target;
    target.create(64, 64, false);
    ASSERT_TRUE(target.isCreated());
    target.begin();
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const auto square = [](float z, float r, float g) {
        glColor3f(r, g, 0);
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, z);
        glVertex3f(1, -1, z);
        glVertex3f(1, 1, z);
        glVertex3f(-1, 1, z);
        glEnd();
    };
    square(-0.5f, 1, 0);
    square(0.5f, 0, 1);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    target.end();
    glColor3f(1, 1, 1);
    EXPECT_GE(depthBits, 24);
    target.bindTexImage(RenderTarget::frontLeft);
    const std::vector<uint8_t> texels = boundTexture(64, 64);
    EXPECT_EQ(texels[(32 * 64 + 32) * 4], 255);
    EXPECT_EQ(texels[(32 * 64 + 32) * 4 + 1], 0);
}

TEST_F(RenderTargetTest, DestroyWhileDrawingReturnsToTheShowFrame)
{
    GLint showFrame = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &showFrame);
    ASSERT_NE(showFrame, 0);
    RenderTarget target;
    target.create(32, 32, false);
    target.begin();
    target.destroy();
    EXPECT_FALSE(target.isCreated());
    GLint framebuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, showFrame);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(readPixel(5, 5).g, 255);
    // Too large for any texture: not created, silently.
    RenderTarget huge;
    huge.create(1 << 20, 16, false);
    EXPECT_FALSE(huge.isCreated());
}

}  // namespace
