// The show frame on the headless context: shown in windows of several sizes
// (the picture scaled into its rectangle, black bars around it), and frame
// grabs and read-back from a multisampled frame giving the pixels of a
// single-sampled one. Every test makes its own window of the size it needs.
#include <gtest/gtest.h>

#include "platform/framebuffer.h"
#include "platform/framebuffer_calls.h"
#include "platform/native_window.h"
#include "platform/picture_fit.h"
#include "platform/show_frame.h"
#include "tests/support/headless_frame.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int frameWidth = 640, frameHeight = 480;

struct Colour {
    uint8_t r, g, b, a;
    bool operator==(const Colour&) const = default;
};

void PrintTo(const Colour& c, std::ostream* out)
{
    *out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}

constexpr Colour black{0, 0, 0, 255};
constexpr Colour red{255, 0, 0, 255};
constexpr Colour green{0, 255, 0, 255};
constexpr Colour blue{0, 0, 255, 255};
constexpr Colour yellow{255, 255, 0, 255};
constexpr Colour white{255, 255, 255, 255};

// The test picture: a 40-pixel square of its own colour in each corner
// (red bottom-left, green bottom-right, blue top-left, yellow top-right), a
// white one in the middle, and a pattern that differs from pixel to pixel
// elsewhere.
Colour patternAt(int x, int y)
{
    const bool left = x < 40, right = x >= frameWidth - 40, bottom = y < 40, top = y >= frameHeight - 40;
    if (bottom && left)
        return red;
    if (bottom && right)
        return green;
    if (top && left)
        return blue;
    if (top && right)
        return yellow;
    if (std::abs(x - frameWidth / 2) < 20 && std::abs(y - frameHeight / 2) < 20)
        return white;
    return {static_cast<uint8_t>(x * 3 + y), static_cast<uint8_t>(y * 5 + 40), static_cast<uint8_t>((x ^ y) & 0x7F),
            255};
}

std::vector<uint8_t> patternPixels()
{
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(frameWidth) * frameHeight * 4);
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < frameWidth; ++x) {
            const Colour c = patternAt(x, y);
            pixels.insert(pixels.end(), {c.r, c.g, c.b, c.a});
        }
    }
    return pixels;
}

// Pixel-exact drawing: the viewport over the frame and one unit a pixel.
void useFramePixels()
{
    glViewport(0, 0, frameWidth, frameHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, frameWidth, 0.0, frameHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
}

void drawPattern()
{
    useFramePixels();
    const std::vector<uint8_t> pixels = patternPixels();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glRasterPos2i(0, 0);
    glDrawPixels(frameWidth, frameHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

// The headless frame with the window's back buffer read back.
class WindowWithFrame : public HeadlessFrame {
public:
    WindowWithFrame(int width, int height, int samples)
        : HeadlessFrame(width, height, samples), width_(width), height_(height)
    {
    }

    // The window's back buffer, bottom row first; the show frame stays bound.
    std::vector<Colour> readWindow()
    {
        std::vector<Colour> pixels(static_cast<size_t>(width_) * height_);
        const platform::FramebufferCalls& gl = platform::framebufferCalls();
        gl.bind(GL_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        frame().bindForDrawing();
        return pixels;
    }

private:
    int width_;
    int height_;
};

struct Presentation {
    int width, height, samples;
};

class PresentationTest : public ::testing::TestWithParam<Presentation> {};

TEST_P(PresentationTest, TheWholePictureIsScaledIntoItsRectangleWithBlackBars)
{
    const Presentation p = GetParam();
    WindowWithFrame window(p.width, p.height, p.samples);
    ASSERT_TRUE(window.made());
    EXPECT_EQ(window.frame().samples(), p.samples);
    drawPattern();
    window.frame().present(p.width, p.height);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::vector<Colour> shown = window.readWindow();
    auto at = [&](int x, int y) { return shown[static_cast<size_t>(y) * p.width + x]; };

    const platform::PictureRect r = platform::fitPicture(frameWidth, frameHeight, p.width, p.height);
    const int left = r.x, right = r.x + r.width - 1, bottom = r.y, top = r.y + r.height - 1;
    // The picture's four corners at the rectangle's corners: nothing cropped.
    EXPECT_EQ(at(left, bottom), red);
    EXPECT_EQ(at(right, bottom), green);
    EXPECT_EQ(at(left, top), blue);
    EXPECT_EQ(at(right, top), yellow);
    EXPECT_EQ(at(r.x + r.width / 2, r.y + r.height / 2), white);
    // The corner squares scaled with the picture: 40 of 640 pixels.
    const int corner = 40 * r.width / frameWidth;
    EXPECT_EQ(at(left + corner - 2, bottom + corner - 2), red);
    EXPECT_NE(at(left + corner + 2, bottom + corner + 2), red);
    // Black wherever the picture is not: the bars, up to the rectangle.
    for (int y : {0, p.height / 2, p.height - 1}) {
        for (int x = 0; x < left; ++x)
            ASSERT_EQ(at(x, y), black) << x << ", " << y;
        for (int x = right + 1; x < p.width; ++x)
            ASSERT_EQ(at(x, y), black) << x << ", " << y;
    }
    for (int x : {0, p.width / 2, p.width - 1}) {
        for (int y = 0; y < bottom; ++y)
            ASSERT_EQ(at(x, y), black) << x << ", " << y;
        for (int y = top + 1; y < p.height; ++y)
            ASSERT_EQ(at(x, y), black) << x << ", " << y;
    }
    // At the frame's own size the window shows exactly the frame's pixels.
    if (r.width == frameWidth && r.height == frameHeight) {
        int differing = 0;
        for (int y = 0; y < frameHeight; ++y)
            for (int x = 0; x < frameWidth; ++x)
                differing += at(r.x + x, r.y + y) == patternAt(x, y) ? 0 : 1;
        EXPECT_EQ(differing, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, PresentationTest,
                         ::testing::Values(Presentation{640, 480, 0}, Presentation{640, 480, 4},
                                           Presentation{1024, 768, 0}, Presentation{1024, 768, 4},
                                           Presentation{1920, 1080, 0}, Presentation{1920, 1080, 4},
                                           Presentation{600, 800, 4}),
                         [](const ::testing::TestParamInfo<Presentation>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
                                    "_" + std::to_string(info.param.samples) + "samples";
                         });

TEST(ShowFramePresentTest, LeavesTheFrameBoundAndItsStateAsItWas)
{
    WindowWithFrame window(800, 600, 4);
    ASSERT_TRUE(window.made());
    GLint drawn = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    glEnable(GL_SCISSOR_TEST);
    glScissor(1, 2, 3, 4);
    glColorMask(GL_TRUE, GL_FALSE, GL_TRUE, GL_FALSE);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    window.frame().present(800, 600);
    GLint draw = 0, read = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    EXPECT_EQ(draw, drawn);
    EXPECT_EQ(read, drawn);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && !mask[1] && mask[2] && !mask[3]);
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[1], 0.5f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A texture of w x h of the given format, for grabs.
GLuint makeTexture(GLint format, GLenum pixelFormat, GLenum type, int w, int h)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, format, w, h, 0, pixelFormat, type, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

std::vector<uint8_t> textureRgba(GLuint texture, int w, int h)
{
    std::vector<uint8_t> texels(static_cast<size_t>(w) * h * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

int largestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int largest = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        largest = std::max(largest, std::abs(static_cast<int>(a[i]) - static_cast<int>(b[i])));
    return a.size() == b.size() ? largest : 256;
}

// The pattern with smooth shading over whole pixels on top: every sample of
// a pixel gets the same colour, so a resolve changes nothing.
void drawPixelAlignedPicture()
{
    drawPattern();
    glShadeModel(GL_SMOOTH);
    glBegin(GL_QUADS);
    glColor3ub(250, 10, 90);
    glVertex2i(60, 70);
    glColor3ub(20, 200, 40);
    glVertex2i(500, 70);
    glColor3ub(30, 60, 240);
    glVertex2i(500, 400);
    glColor3ub(200, 200, 20);
    glVertex2i(60, 400);
    glEnd();
    glColor3ub(255, 255, 255);
}

// A grab of the region (100, 50) 200 x 100 into a 256 x 128 texture at (8, 4).
std::vector<uint8_t> grabRegion(platform::ShowFrame& frame)
{
    const GLuint texture = makeTexture(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 256, 128);
    frame.grabInto(GL_TEXTURE_2D, 8, 4, 100, 50, 200, 100);
    std::vector<uint8_t> texels = textureRgba(texture, 256, 128);
    glDeleteTextures(1, &texture);
    return texels;
}

TEST(ShowFrameGrabTest, AMultisampledFrameGrabsThePixelsOfASingleSampledOne)
{
    std::vector<uint8_t> grabbed[2];
    for (int samples : {0, 4}) {
        SCOPED_TRACE(samples);
        WindowWithFrame window(640, 480, samples);
        ASSERT_TRUE(window.made());
        drawPixelAlignedPicture();
        grabbed[samples == 0 ? 0 : 1] = grabRegion(window.frame());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    EXPECT_LE(largestDifference(grabbed[0], grabbed[1]), 1);
    // The region landed at the offset: texel (8, 4) is pixel (100, 50).
    const Colour first = patternAt(100, 50);
    const size_t at = (4u * 256 + 8) * 4;
    EXPECT_EQ(grabbed[1][at + 0], first.r);
    EXPECT_EQ(grabbed[1][at + 1], first.g);
    EXPECT_EQ(grabbed[1][at + 2], first.b);
}

TEST(ShowFrameGrabTest, AGrabSeesTheEdgesAsTheFrameShowsThem)
{
    WindowWithFrame window(640, 480, 4);
    ASSERT_TRUE(window.made());
    drawPattern();
    glColor3ub(240, 230, 10);
    glBegin(GL_TRIANGLES);
    glVertex2f(90.3f, 40.7f);
    glVertex2f(310.9f, 70.2f);
    glVertex2f(150.4f, 160.6f);
    glEnd();
    glColor3ub(255, 255, 255);
    // A scissor box elsewhere must not clip the resolve.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    GLint drawn = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);

    const std::vector<uint8_t> grabbed = grabRegion(window.frame());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint draw = 0, read = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
    EXPECT_EQ(draw, drawn);
    EXPECT_EQ(read, drawn);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));

    std::vector<uint8_t> shown(200 * 100 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    window.frame().readPixels(100, 50, 200, 100, GL_RGBA, GL_UNSIGNED_BYTE, shown.data());
    int differing = 0, blended = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            const uint8_t* g = &grabbed[((static_cast<size_t>(y) + 4) * 256 + x + 8) * 4];
            const uint8_t* s = &shown[(static_cast<size_t>(y) * 200 + x) * 4];
            differing += std::equal(g, g + 4, s) ? 0 : 1;
            // Edge pixels resolved from samples of both colours.
            const Colour under = patternAt(100 + x, 50 + y);
            const bool mixed = s[0] != 240 && s[0] != under.r && s[2] != 10 && s[2] != under.b;
            blended += mixed ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(blended, 50) << "the triangle's edges were not antialiased";
}

// The triangle over the pattern: edges whose pixels the resolve blends.
void drawPatternWithEdges()
{
    drawPattern();
    glColor3ub(240, 230, 10);
    glBegin(GL_TRIANGLES);
    glVertex2f(9.3f, 4.7f);
    glVertex2f(61.9f, 20.2f);
    glVertex2f(15.4f, 58.6f);
    glEnd();
    glColor3ub(255, 255, 255);
}

std::vector<uint8_t> shownRegion(platform::ShowFrame& frame, int w, int h)
{
    std::vector<uint8_t> shown(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    frame.readPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, shown.data());
    return shown;
}

TEST(ShowFrameGrabTest, ACornerGrabbedInPlaceIsResolvedIntoTexturesOfEitherKind)
{
    WindowWithFrame window(640, 480, 4);
    ASSERT_TRUE(window.made());
    drawPatternWithEdges();
    const std::vector<uint8_t> shown = shownRegion(window.frame(), 64, 64);

    const GLuint flat = makeTexture(GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, 64, 64);
    window.frame().grabInto(GL_TEXTURE_2D, 0, 0, 0, 0, 64, 64);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(textureRgba(flat, 64, 64), shown);
    glDeleteTextures(1, &flat);

    GLuint cube = 0;
    glGenTextures(1, &cube);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube);
    for (int face = 0; face < 6; ++face)
        glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face), 0, GL_RGBA, 64, 64, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    window.frame().grabInto(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, 0, 0, 0, 64, 64);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<uint8_t> face(64 * 64 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, GL_RGBA, GL_UNSIGNED_BYTE, face.data());
    EXPECT_EQ(face, shown);
    glDeleteTextures(1, &cube);

    // A texture of another format takes the way through the resolved twin.
    const GLuint other = makeTexture(GL_RGB8, GL_RGB, GL_UNSIGNED_BYTE, 64, 64);
    window.frame().grabInto(GL_TEXTURE_2D, 0, 0, 0, 0, 64, 64);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::vector<uint8_t> rgb = textureRgba(other, 64, 64);
    for (size_t i = 0; i < rgb.size(); i += 4)
        ASSERT_TRUE(std::equal(&rgb[i], &rgb[i] + 3, &shown[i])) << i / 4;
    glDeleteTextures(1, &other);
}

TEST(ShowFrameGrabTest, AnotherBoundFramebufferIsGrabbedAsItIs)
{
    WindowWithFrame window(640, 480, 4);
    ASSERT_TRUE(window.made());
    const GLuint colour = makeTexture(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 64, 64);
    platform::Framebuffer target;
    ASSERT_TRUE(target.create(colour, 0));
    target.bind();
    glViewport(0, 0, 64, 64);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const GLuint copy = makeTexture(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 16, 16);
    window.frame().grabInto(GL_TEXTURE_2D, 0, 0, 0, 0, 16, 16);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    target.unbind();
    const std::vector<uint8_t> texels = textureRgba(copy, 16, 16);
    EXPECT_EQ(texels[0], 0);
    EXPECT_EQ(texels[1], 255);
    EXPECT_EQ(texels[2], 0);
    target.release();
    glDeleteTextures(1, &copy);
    glDeleteTextures(1, &colour);
}

TEST(ShowFrameGrabTest, DepthGrabsOfBothFramesAgree)
{
    std::vector<float> depths[2];
    for (int samples : {0, 4}) {
        SCOPED_TRACE(samples);
        WindowWithFrame window(640, 480, samples);
        ASSERT_TRUE(window.made());
        useFramePixels();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_ALWAYS);
        glClear(GL_DEPTH_BUFFER_BIT);
        // z = 0.5 between the ortho planes -1 and 1: depth 0.25, left half.
        glBegin(GL_QUADS);
        glVertex3f(0.0f, 0.0f, 0.5f);
        glVertex3f(320.0f, 0.0f, 0.5f);
        glVertex3f(320.0f, 480.0f, 0.5f);
        glVertex3f(0.0f, 480.0f, 0.5f);
        glEnd();
        const GLuint texture = makeTexture(GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, 64, 64);
        window.frame().grabDepthInto(GL_TEXTURE_2D, 300, 200, 64, 64);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        std::vector<float>& texels = depths[samples == 0 ? 0 : 1];
        texels.resize(64 * 64);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels.data());
        glDeleteTextures(1, &texture);
        EXPECT_NEAR(texels[0], 0.25f, 1e-4);           // pixel (300, 200)
        EXPECT_NEAR(texels[63 * 64 + 63], 1.0f, 1e-4);  // pixel (363, 263): cleared
    }
    for (size_t i = 0; i < depths[0].size(); ++i)
        ASSERT_NEAR(depths[0][i], depths[1][i], 1e-4) << i;
}

// Triangles whose edges run through pixel centres and whose colours vary
// across them: where a driver rasterises its window's framebuffer in another
// orientation than a framebuffer object, ties and interpolation differ.
void drawTiesAndGradients()
{
    useFramePixels();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glShadeModel(GL_SMOOTH);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 40; ++i) {
        const float x = 10.5f + static_cast<float>(i % 8) * 78.0f;
        const float y = 12.5f + static_cast<float>(i / 8) * 92.0f;
        glColor3ub(static_cast<GLubyte>(i * 37), 200, static_cast<GLubyte>(255 - i * 5));
        glVertex2f(x, y);
        glColor3ub(30, static_cast<GLubyte>(i * 11), 220);
        glVertex2f(x + 61.0f + static_cast<float>(i % 3), y + 17.0f);
        glColor3ub(250, 90, static_cast<GLubyte>(i * 3));
        glVertex2f(x + 13.0f, y + 70.0f + static_cast<float>(i % 5));
    }
    glEnd();
    glColor3ub(255, 255, 255);
}

TEST(ShowFrameTest, TheFrameIsRasterisedAsTheWindowWas)
{
    WindowWithFrame window(640, 480, 0);
    ASSERT_TRUE(window.made());
    drawTiesAndGradients();
    std::vector<uint8_t> inFrame(static_cast<size_t>(frameWidth) * frameHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    window.frame().readPixels(0, 0, frameWidth, frameHeight, GL_RGBA, GL_UNSIGNED_BYTE, inFrame.data());
    // The same drawing straight into the window's framebuffer.
    platform::framebufferCalls().bind(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    drawTiesAndGradients();
    const std::vector<Colour> inWindow = window.readWindow();
    int differing = 0;
    for (size_t i = 0; i < inWindow.size(); ++i) {
        const Colour c{inFrame[i * 4], inFrame[i * 4 + 1], inFrame[i * 4 + 2], inFrame[i * 4 + 3]};
        differing += c == inWindow[i] ? 0 : 1;
    }
    EXPECT_EQ(differing, 0);
}

TEST(ShowFrameTest, ASampleCountBeyondTheDriversIsRefusedWithNothingMade)
{
    WindowWithFrame window(640, 480, 0);
    ASSERT_TRUE(window.made());
    platform::ShowFrame frame;
    EXPECT_FALSE(frame.create(640, 480, 64));
    EXPECT_FALSE(frame.created());
    EXPECT_EQ(frame.samples(), 0);
    EXPECT_FALSE(frame.create(0, 480, 0));
    EXPECT_TRUE(frame.create(640, 480, 0));
    EXPECT_EQ(frame.width(), 640);
    EXPECT_EQ(frame.height(), 480);
}

}  // namespace
