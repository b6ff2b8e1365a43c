// Image layers and the layer group on the headless context, pixels read back.
#include "tests/support/commands.h"
#include "tests/support/gl_test.h"
#include "tests/support/process_image_cache.h"
#include "tests/support/temp_dir.h"

#include "effects/image_layers.h"
#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"

#include <GL/gl.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Colour {
    uint8_t r, g, b, a;
};

// Writes RGBA pixels, top row first, as a PNG through libpng itself.
std::string writePicture(const TempDir& dir, const std::string& name, int width, int height,
                         const std::vector<Colour>& pixels)
{
    const std::string path = (dir.path() / name).string();
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    EXPECT_NE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr), 0);
    return path;
}

constexpr int side = 64;
constexpr Colour red{255, 0, 0, 255};
constexpr Colour green{0, 255, 0, 255};
constexpr Colour blue{0, 0, 255, 255};
constexpr Colour white{255, 255, 255, 255};

// Quadrants: red top left, green top right, blue bottom left, white bottom right.
std::vector<Colour> quadrants()
{
    std::vector<Colour> pixels;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pixels.push_back(y < side / 2 ? (x < side / 2 ? red : green) : (x < side / 2 ? blue : white));
    return pixels;
}

// Left half white and opaque except a black band over the top eight rows;
// right half transparent.
std::vector<Colour> leftHalfSparks()
{
    std::vector<Colour> pixels;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pixels.push_back(x >= side / 2 ? Colour{255, 255, 255, 0} : (y < 8 ? Colour{0, 0, 0, 255} : white));
    return pixels;
}

Command textCommand(int code, const std::string& text)
{
    Command c;
    c.isText = 1;
    c.code = code;
    c.text = text;
    return c;
}

::testing::AssertionResult looksLike(Rgba pixel, Colour expected, int tolerance = 2)
{
    const int d[3] = {pixel.r - expected.r, pixel.g - expected.g, pixel.b - expected.b};
    for (int one : d)
        if (one > tolerance || one < -tolerance)
            return ::testing::AssertionFailure() << "pixel (" << int(pixel.r) << ", " << int(pixel.g) << ", "
                                                 << int(pixel.b) << ") expected (" << int(expected.r) << ", "
                                                 << int(expected.g) << ", " << int(expected.b) << ")";
    return ::testing::AssertionSuccess();
}

class ImageLayersTest : public GLTest {
protected:
    static void SetUpTestSuite()
    {
        GLTest::SetUpTestSuite();
        imageVerbose = false;
        TextureManager::setImageLibrary(&processImageCache());
        pictures_ = new TempDir;
        quadrantsPath_ = writePicture(*pictures_, "quadrants.png", side, side, quadrants());
        sparksPath_ = writePicture(*pictures_, "sparks.png", side, side, leftHalfSparks());
    }
    static void TearDownTestSuite()
    {
        TextureManager::setImageLibrary(nullptr);
        delete pictures_;
        GLTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        GLTest::SetUp();
        glViewport(0, 0, 640, 480);
        clear(0.0f, 0.0f, 0.0f);
    }
    static void clear(float r, float g, float b)
    {
        glClearColor(r, g, b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // A started layer showing the quadrant picture over the whole screen.
    static void showQuadrants(ImageLayer& layer)
    {
        layer.start(0);
        layer.command(textCommand(110, quadrantsPath_));
        ASSERT_NE(layer.current(), nullptr);
    }
    static void expectCleanState()
    {
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
        glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
    }

    static inline TempDir* pictures_ = nullptr;
    static inline std::string quadrantsPath_;
    static inline std::string sparksPath_;
};

TEST_F(ImageLayersTest, PictureFillsTheViewportRectangle)
{
    ImageLayer layer;
    showQuadrants(layer);
    layer.command(numericCommand(202, {25, 25, 50, 50}));
    layer.render(0);
    // The rectangle spans 160..480 across and 120..360 down.
    EXPECT_TRUE(looksLike(readPixelFromTop(200, 160), red));
    EXPECT_TRUE(looksLike(readPixelFromTop(440, 160), green));
    EXPECT_TRUE(looksLike(readPixelFromTop(200, 320), blue));
    EXPECT_TRUE(looksLike(readPixelFromTop(440, 320), white));
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), {0, 0, 0, 0}));
    EXPECT_TRUE(looksLike(readPixelFromTop(500, 400), {0, 0, 0, 0}));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    expectCleanState();
}

TEST_F(ImageLayersTest, UpdateWithoutViewportDrawsIntoTheCornerAFrameGrabSets)
{
    ImageLayer layer;
    showQuadrants(layer);
    glViewport(0, 0, 64, 64);
    layer.update(0, false);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64);
    // The whole picture in the corner (bottom-left counted from the bottom).
    EXPECT_TRUE(looksLike(readPixel(10, 54), red));
    EXPECT_TRUE(looksLike(readPixel(54, 10), white));
    EXPECT_TRUE(looksLike(readPixel(100, 10), {0, 0, 0, 0}));
    glViewport(0, 0, 640, 480);
}

TEST_F(ImageLayersTest, RevealUncoversThePictureWhileStretchScalesIt)
{
    for (bool stretch : {true, false}) {
        SCOPED_TRACE(stretch ? "stretch" : "reveal");
        clear(0, 0, 0);
        ImageLayer layer;
        showQuadrants(layer);
        layer.command(numericCommand(90, {stretch ? 1 : 0}));
        layer.command(numericCommand(202, {0, 0, 0, 100}));
        layer.command(numericCommand(203, {0, 0, 50, 100, 0, 1000}));
        // Halfway the rectangle is 160 pixels wide: stretched it holds both
        // top quadrants, revealed only the left half of the picture.
        layer.render(500);
        EXPECT_TRUE(looksLike(readPixelFromTop(40, 100), red));
        EXPECT_TRUE(looksLike(readPixelFromTop(140, 100), stretch ? green : red));
        EXPECT_TRUE(looksLike(readPixelFromTop(200, 100), {0, 0, 0, 0}));
        // At the target both show the whole picture.
        clear(0, 0, 0);
        layer.render(1000);
        EXPECT_TRUE(looksLike(readPixelFromTop(140, 100), red));
        EXPECT_TRUE(looksLike(readPixelFromTop(300, 100), green));
        EXPECT_TRUE(looksLike(readPixelFromTop(300, 400), white));
    }
}

TEST_F(ImageLayersTest, ScrollingMovesTheTextureCoordinatesWithTime)
{
    ImageLayer layer;
    showQuadrants(layer);
    layer.render(500);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), red));
    // Half a picture per 1000 ms across: at 500 ms a quarter turn of the
    // repeat, at 1000 ms half of it.
    layer.command(numericCommand(210, {1, 0}));
    layer.command(numericCommand(211, {2000}));
    layer.render(1000);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), green));
    EXPECT_TRUE(looksLike(readPixelFromTop(400, 100), red));
    // Downwards, 1000 as divisor: at 500 ms half a picture.
    layer.command(numericCommand(210, {0, 1}));
    layer.command(numericCommand(211, {1000}));
    layer.render(500);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), blue));
    // A divisor of 0 leaves the picture where it is instead of at infinity.
    layer.command(numericCommand(211, {0}));
    layer.render(500);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), red));
    expectCleanState();
    // start stops the scrolling.
    layer.command(numericCommand(210, {1, 0}));
    layer.command(numericCommand(211, {2000}));
    layer.start(0);
    layer.render(1000);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), red));
}

TEST_F(ImageLayersTest, RotationTurnsThePictureAboutTheRectangleCentre)
{
    ImageLayer layer;
    showQuadrants(layer);
    // 180 degrees per duration (1000 ms) about z: upside down at 1000 ms.
    layer.command(numericCommand(212, {0, 0, 180}));
    layer.render(500);
    EXPECT_FLOAT_EQ(layer.angleZ(), 90.0f);
    clear(0, 0, 0);
    layer.render(1000);
    EXPECT_FLOAT_EQ(layer.angleZ(), 180.0f);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), white));
    EXPECT_TRUE(looksLike(readPixelFromTop(540, 380), red));
    // About x the picture flips top to bottom only.
    layer.command(numericCommand(212, {180, 0, 0}));
    clear(0, 0, 0);
    layer.render(1000);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), blue));
    EXPECT_TRUE(looksLike(readPixelFromTop(540, 100), white));
    expectCleanState();
    // A zero duration does not divide: the layer stays unturned.
    layer.command(numericCommand(10, {0}));
    clear(0, 0, 0);
    layer.render(1000);
    EXPECT_FLOAT_EQ(layer.angleX(), 0.0f);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), red));
}

TEST_F(ImageLayersTest, BlendCodesMixThePictureWithWhatIsBehind)
{
    ImageLayer layer;
    showQuadrants(layer);
    clear(0, 0, 1);
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), red));
    // Forced blend at half opacity over blue.
    layer.command(numericCommand(100, {128}));
    clear(0, 0, 1);
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), {128, 0, 127, 255}));
    // Added (GL_ONE, GL_ONE): the opacity no longer scales the picture.
    layer.command(numericCommand(204, {10, 10}));
    clear(0, 0, 1);
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), {255, 0, 255, 255}));
    // Multiplied (GL_DST_COLOR, GL_ZERO) at full opacity: red times blue is black.
    layer.command(numericCommand(100, {255}));
    layer.command(numericCommand(102, {17}));
    layer.command(numericCommand(103, {11}));
    clear(0.5f, 0.5f, 1);
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), {128, 0, 0, 255}));
    EXPECT_TRUE(looksLike(readPixelFromTop(540, 380), {128, 128, 255, 255}));
    // 101 ends the forced blend: opaque again whatever the factors.
    layer.command(numericCommand(101, {}));
    clear(0, 0, 1);
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), red));
    expectCleanState();
}

TEST_F(ImageLayersTest, ColourTintsThePicture)
{
    ImageLayer layer;
    showQuadrants(layer);
    layer.command(numericCommand(200, {255, 128, 0}));
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(540, 380), {255, 128, 0, 255}));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 4.0f);
}

TEST_F(ImageLayersTest, FileNameCommandsLoadAndCycleThePictures)
{
    ImageLayer layer;
    layer.start(0);
    EXPECT_EQ(layer.imageCount(), 1);
    EXPECT_EQ(layer.current(), nullptr);
    // Code 30 on the initial list keeps showing nothing.
    layer.command(numericCommand(30, {}));
    EXPECT_EQ(layer.current(), nullptr);
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), {0, 0, 0, 0}));

    layer.command(textCommand(31, quadrantsPath_));
    layer.command(textCommand(31, pictures_->path().string() + "/missing.png"));
    layer.command(textCommand(31, sparksPath_));
    EXPECT_EQ(layer.imageCount(), 3);
    layer.command(numericCommand(30, {}));
    EXPECT_EQ(layer.imageIndex(), 1);
    ASSERT_NE(layer.current(), nullptr);
    EXPECT_EQ(layer.current()->imageWidth(), side);
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), red));
    layer.command(numericCommand(30, {}));
    layer.command(numericCommand(30, {}));
    EXPECT_EQ(layer.imageIndex(), 0);
    EXPECT_EQ(layer.current(), nullptr);

    // 110 shows a picture without adding it; a missing one shows nothing.
    layer.command(textCommand(110, quadrantsPath_));
    EXPECT_NE(layer.current(), nullptr);
    EXPECT_EQ(layer.imageCount(), 3);
    layer.command(textCommand(110, pictures_->path().string() + "/nowhere.png"));
    EXPECT_EQ(layer.current(), nullptr);
    clear(0, 0, 0);
    layer.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), {0, 0, 0, 0}));
    // Without a picture the clock stands still.
    EXPECT_EQ(layer.lastTime(), 0);
}

TEST_F(ImageLayersTest, SparksAreSampledFromEverySecondVisiblePixel)
{
    ImageLayer layer;
    layer.start(0);
    // No picture: an empty system.
    layer.command(numericCommand(91, {1}));
    ASSERT_NE(layer.particles(), nullptr);
    EXPECT_EQ(layer.particles()->pendingCount(), 0);

    layer.command(textCommand(110, sparksPath_));
    layer.command(numericCommand(91, {1}));
    // 16 sampled columns of the opaque half, 28 sampled rows below the
    // black band.
    const ImageParticles* sparks = layer.particles();
    ASSERT_EQ(sparks->pendingCount(), 16 * 28);
    const Particle& first = sparks->pending().front();
    EXPECT_FLOAT_EQ(first.position.x, 0.0f);
    EXPECT_FLOAT_EQ(first.position.y, 8.0f / side);
    EXPECT_FLOAT_EQ(first.velocity.y, (8 - 32) * 0.003f);
    EXPECT_FLOAT_EQ(first.life, 1.0f);
    EXPECT_FLOAT_EQ(first.fadeRate, -2.0f);
    EXPECT_FLOAT_EQ(sparks->pending().back().position.x, 30.0f / side);
    // 91 with 0 turns the dissolve off and keeps the system.
    layer.command(numericCommand(91, {0}));
    EXPECT_FALSE(layer.dissolve());
    EXPECT_EQ(layer.particles(), sparks);
}

TEST_F(ImageLayersTest, SparksLeaveAlongTheRevealEdge)
{
    ImageLayer layer;
    layer.start(0);
    layer.command(textCommand(110, sparksPath_));
    layer.command(numericCommand(90, {0}));
    layer.command(numericCommand(202, {0, 0, 0, 100}));
    layer.command(numericCommand(203, {0, 0, 100, 100, 0, 1000}));
    // A black picture, so that only the sparks show.
    layer.command(numericCommand(200, {0, 0, 0}));
    layer.command(numericCommand(91, {1}));
    layer.render(0);
    EXPECT_EQ(layer.particles()->releasedCount(), 0);

    // At 250 ms the edge is at a quarter: columns 0 to 14 have left.
    clear(0, 0, 0);
    layer.render(250);
    const ImageParticles* sparks = layer.particles();
    EXPECT_EQ(sparks->releasedCount(), 8 * 28);
    EXPECT_EQ(sparks->pendingCount(), 8 * 28);
    for (const Particle& spark : sparks->released()) {
        EXPECT_LT(spark.position.x, 0.25f);
        EXPECT_FLOAT_EQ(spark.life, 1.0f);  // 250 ms is below one duration: dt 0
    }
    // A spark at column 0, row 32 covers 0..6 across, 240..244 down; the
    // gap to column 2 (20 pixels) stays black; column 14 is at 140.
    EXPECT_TRUE(looksLike(readPixelFromTop(3, 242), white));
    EXPECT_TRUE(looksLike(readPixelFromTop(13, 242), {0, 0, 0, 0}));
    EXPECT_TRUE(looksLike(readPixelFromTop(143, 242), white));
    expectCleanState();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean writes = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    EXPECT_TRUE(writes);

    // One whole duration per frame fades every spark below 0: they go.
    layer.command(numericCommand(10, {50}));
    clear(0, 0, 0);
    layer.render(300);
    EXPECT_EQ(sparks->releasedCount(), 0);
    EXPECT_EQ(sparks->pendingCount(), 6 * 28);
    EXPECT_TRUE(looksLike(readPixelFromTop(3, 242), {0, 0, 0, 0}));

    // At the target nothing more is released, even though sparks wait: the
    // picture is whole.
    layer.command(numericCommand(10, {1000}));
    layer.render(1000);
    layer.render(1001);
    EXPECT_EQ(sparks->pendingCount(), 6 * 28);

    // A zero duration does not divide: the sparks stand still. Shrinking
    // toward half the width puts the edge beyond 1, so all the rest leave.
    layer.command(numericCommand(10, {0}));
    layer.command(numericCommand(203, {0, 0, 50, 100, 1100, 1000}));
    layer.render(1200);
    EXPECT_EQ(sparks->pendingCount(), 0);
    ASSERT_EQ(sparks->releasedCount(), 6 * 28);
    EXPECT_FLOAT_EQ(sparks->released().front().life, 1.0f);
    EXPECT_FLOAT_EQ(sparks->released().front().position.x, 0.5f * 20.0f / side);
}

// Setting the show up again (a jump, a reload, a loop) rewinds the layers:
// the same setup gives the same pictures, not a list that grows each time.
TEST_F(ImageLayersTest, RewindDropsWhatCommandsGathered)
{
    ImageLayer layer;
    for (int setup = 0; setup < 3; ++setup) {
        layer.rewind();
        layer.start(0);
        layer.command(textCommand(31, quadrantsPath_));
        layer.command(textCommand(31, sparksPath_));
        layer.command(numericCommand(30, {}));
        EXPECT_EQ(layer.imageCount(), 3) << "setup " << setup;
        EXPECT_EQ(layer.imageIndex(), 1) << "setup " << setup;
        ASSERT_NE(layer.current(), nullptr);
        EXPECT_EQ(layer.current()->imageWidth(), side) << "the first picture added, each time";
    }
    LayerGroup group;
    group.command(numericCommand(99, {3}));
    group.command(textCommand(110, quadrantsPath_));
    group.command(numericCommand(97, {}));
    ASSERT_TRUE(group.layer(3).isActive());
    group.rewind();
    EXPECT_FALSE(group.layer(3).isActive()) << "an inner layer started later is not left showing";
    EXPECT_EQ(group.layer(3).current(), nullptr);
    EXPECT_EQ(group.selectedIndex(), -1);
}

TEST_F(ImageLayersTest, GroupForwardsEveryCommandToTheSelectedLayer)
{
    LayerGroup group;
    group.start(0);
    group.activate();
    // Nothing selected: the commands go nowhere.
    group.command(numericCommand(97, {}));
    group.command(textCommand(110, quadrantsPath_));
    for (int i = 0; i < LayerGroup::layerCount; ++i) {
        EXPECT_FALSE(group.layer(i).isActive());
        EXPECT_EQ(group.layer(i).current(), nullptr);
    }

    group.command(numericCommand(99, {2}));
    EXPECT_EQ(group.selectedIndex(), 2);
    group.command(textCommand(31, quadrantsPath_));
    group.command(numericCommand(30, {}));
    group.command(numericCommand(97, {}));
    EXPECT_TRUE(group.layer(2).isActive());
    EXPECT_NE(group.layer(2).current(), nullptr);
    EXPECT_EQ(group.layer(1).current(), nullptr);
    group.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), red));

    // 7 is no layer: the selection stays, and the command still reaches it.
    group.command(numericCommand(99, {7}));
    EXPECT_EQ(group.selectedIndex(), 2);
    group.command(numericCommand(202, {50, 0, 50, 100}));
    EXPECT_FLOAT_EQ(group.layer(2).parameter(Effect::Parameter::viewX).get(), 0.5f);
    // The group's own parameters are not touched.
    EXPECT_FLOAT_EQ(group.parameter(Effect::Parameter::viewX).get(), 0.0f);
    clear(0, 0, 0);
    group.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), {0, 0, 0, 0}));
    EXPECT_TRUE(looksLike(readPixelFromTop(420, 100), red));

    // A second layer on top, then the first hidden: it keeps receiving.
    group.command(numericCommand(99, {4}));
    group.command(textCommand(110, sparksPath_));
    group.command(numericCommand(97, {}));
    group.command(numericCommand(202, {0, 0, 50, 100}));
    group.command(numericCommand(99, {2}));
    group.command(numericCommand(98, {}));
    EXPECT_FALSE(group.layer(2).isActive());
    group.command(numericCommand(202, {0, 0, 100, 100}));
    EXPECT_FLOAT_EQ(group.layer(2).parameter(Effect::Parameter::viewW).get(), 1.0f);
    clear(0, 0, 0);
    group.render(0);
    EXPECT_TRUE(looksLike(readPixelFromTop(100, 100), white));  // layer 4's left half
    EXPECT_TRUE(looksLike(readPixelFromTop(420, 100), {0, 0, 0, 0}));

    // start restarts every layer.
    group.command(numericCommand(90, {0}));
    EXPECT_FALSE(group.layer(2).stretch());
    group.start(0);
    EXPECT_TRUE(group.layer(2).stretch());
    expectCleanState();
}

}  // namespace
