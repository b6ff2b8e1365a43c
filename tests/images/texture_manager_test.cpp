// The texture manager on a real (headless) GL context, contents read back.
#include <gtest/gtest.h>

#include "resources/images/image_cache.h"
#include "resources/textures/texture_manager.h"
#include "shell/extensions.h"
#include "tests/images/image_test_support.h"
#include "tests/support/gl_test.h"

#include <GL/glext.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct TexelBlock {
    int width = 0;
    int height = 0;
    Bytes rgba;
};

TexelBlock readBack(GLenum target, GLuint name, GLenum face)
{
    TexelBlock block;
    glBindTexture(target, name);
    glGetTexLevelParameteriv(face, 0, GL_TEXTURE_WIDTH, &block.width);
    glGetTexLevelParameteriv(face, 0, GL_TEXTURE_HEIGHT, &block.height);
    block.rgba.assign(size_t(block.width) * block.height * 4, 0xAA);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(face, 0, GL_RGBA, GL_UNSIGNED_BYTE, block.rgba.data());
    return block;
}

TexelBlock readBack2D(const Texture* texture) { return readBack(GL_TEXTURE_2D, texture->name(), GL_TEXTURE_2D); }

class TextureManagerTest : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        imageVerbose = false;
        TextureManager::setImageLibrary(&cache_);
        cache_.setPathPrefix((dir_.path("textures") + "/").c_str());
        std::filesystem::create_directories(dir_.path("textures"));
        std::filesystem::create_directories(dir_.path("images"));
    }
    void TearDown() override
    {
        TextureManager::setImageLibrary(nullptr);
        imageVerbose = true;
    }

    // A picture of that size under textures/, named uniquely for the test.
    std::string picture(int width, int height, const char* folder = "textures")
    {
        const std::string name = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                                 std::to_string(width) + "x" + std::to_string(height) + ".png";
        referenceWritePng(dir_.path(std::string(folder) + "/" + name), width, height, 3,
                          testPattern(width, height, 3));
        return name;
    }

    ScratchDir dir_;
    ImageCache cache_;
};

TEST_F(TextureManagerTest, RenderTextureOfPowerOfTwoSizeIsZeroAndShared)
{
    Texture* texture = TextureManager::createTexture("AnsiFilter1", 32, 32, GL_TEXTURE_2D, GL_RGBA);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->kind(), GLenum(GL_TEXTURE_2D));
    EXPECT_EQ(texture->image(), nullptr);
    const TexelBlock block = readBack2D(texture);
    EXPECT_EQ(block.width, 32);
    EXPECT_EQ(block.height, 32);
    EXPECT_EQ(block.rgba, Bytes(32 * 32 * 4, 0));

    EXPECT_EQ(TextureManager::createTexture("AnsiFilter1", 64, 64, GL_TEXTURE_CUBE_MAP, GL_RGBA), texture);
    EXPECT_EQ(TextureManager::referenceCount("AnsiFilter1"), 2);
    TextureManager::releaseTexture(texture);
    TextureManager::releaseTexture(texture);
    EXPECT_EQ(TextureManager::referenceCount("AnsiFilter1"), 0);
}

TEST_F(TextureManagerTest, OtherSizesAreRoundedAndTheirAreaMarked)
{
    Texture* texture = TextureManager::createTexture("marked", 100, 60, GL_TEXTURE_2D, GL_RGBA);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width(), 128);
    EXPECT_EQ(texture->height(), 64);
    const TexelBlock block = readBack2D(texture);
    ASSERT_EQ(block.width, 128);
    ASSERT_EQ(block.height, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            const uint8_t expected = y < 60 && x < 100 ? 0x7F : 0;
            const uint8_t* texel = &block.rgba[(size_t(y) * 128 + x) * 4];
            ASSERT_EQ(Bytes(texel, texel + 4), Bytes(4, expected)) << x << "," << y;
        }
    }
    Texture* largest = TextureManager::createTexture("largest", 1024, 1024, GL_TEXTURE_2D, GL_RGBA);
    ASSERT_NE(largest, nullptr);
    EXPECT_EQ(largest->width(), 1024);
    Texture* smallest = TextureManager::createTexture("smallest", 3, 5, GL_TEXTURE_2D, GL_RGBA);
    ASSERT_NE(smallest, nullptr);
    EXPECT_EQ(smallest->width(), 8);
    EXPECT_EQ(smallest->height(), 8);
}

TEST_F(TextureManagerTest, ImageTexturesGetPowerOfTwoSizes)
{
    const struct {
        int width, height, textureWidth, textureHeight;
    } cases[] = {{640, 480, 1024, 1024}, {32, 32, 64, 64}, {100, 300, 128, 512}, {64, 256, 64, 256},
                 {256, 64, 256, 256}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const std::string name = picture(c.width, c.height);
        Texture* texture = TextureManager::loadTexture(name.c_str(), nullptr, GL_TEXTURE_2D);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->width(), c.textureWidth);
        EXPECT_EQ(texture->height(), c.textureHeight);
        EXPECT_EQ(texture->imageWidth(), c.width);
        EXPECT_EQ(texture->imageHeight(), c.height);
        EXPECT_EQ(texture->internalFormat(), GLenum(GL_RGBA));
        const TexelBlock block = readBack2D(texture);
        EXPECT_EQ(block.width, c.textureWidth);
        EXPECT_EQ(block.height, c.textureHeight);
        // The cached picture itself became 32 bits at the texture's size,
        // and level 0 holds exactly its bytes.
        Image* image = texture->image();
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image, cache_.loadImage(name.c_str()));
        EXPECT_EQ(image->bitsPerPixel, 32);
        EXPECT_EQ(image->width, c.textureWidth);
        EXPECT_EQ(image->height, c.textureHeight);
        EXPECT_EQ(block.rgba, pixelsOf(image));
        GLint mipmapWidth = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &mipmapWidth);
        EXPECT_EQ(mipmapWidth, c.textureWidth / 2);
    }
}

TEST_F(TextureManagerTest, ImageTexturesFilterLinearAndRepeat)
{
    const std::string name = picture(16, 16);
    Texture* texture = TextureManager::loadTexture(name.c_str(), nullptr, GL_TEXTURE_2D);
    ASSERT_NE(texture, nullptr);
    texture->bind();
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
}

TEST_F(TextureManagerTest, AnisotropyAppliesToNewImageTexturesOnly)
{
    if (!Extensions::has("GL_EXT_texture_filter_anisotropic"))
        GTEST_SKIP() << "no anisotropic filtering";
    const std::string plain = picture(16, 16);
    Texture* before = TextureManager::loadTexture(plain.c_str(), nullptr, GL_TEXTURE_2D);
    TextureManager::setTextureAnisotropy(2.0f);
    const std::string filtered = picture(16, 32);
    Texture* after = TextureManager::loadTexture(filtered.c_str(), nullptr, GL_TEXTURE_2D);
    TextureManager::setTextureAnisotropy(0.0f);
    ASSERT_NE(before, nullptr);
    ASSERT_NE(after, nullptr);
    GLfloat value = 0.0f;
    before->bind();
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &value);
    EXPECT_EQ(value, 1.0f);
    after->bind();
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &value);
    EXPECT_EQ(value, 2.0f);
}

TEST_F(TextureManagerTest, NamesAreSharedWhateverThePrefixOrKind)
{
    referenceWritePng(dir_.path("textures/dot.png"), 8, 8, 3, testPattern(8, 8, 3));
    referenceWritePng(dir_.path("images/dot.png"), 16, 16, 3, testPattern(16, 16, 3));
    const std::string textures = dir_.path("textures") + "/";
    const std::string images = dir_.path("images") + "/";
    Texture* first = TextureManager::loadTexture("dot.png", textures.c_str(), GL_TEXTURE_2D);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(TextureManager::loadTexture("dot.png", images.c_str(), GL_TEXTURE_2D), first);
    EXPECT_EQ(first->imageWidth(), 8);

    // A created name is returned to a load without any picture being read.
    Texture* created = TextureManager::createTexture("made.png", 16, 16, GL_TEXTURE_2D, GL_RGBA);
    EXPECT_EQ(TextureManager::loadTexture("made.png", nullptr, GL_TEXTURE_2D), created);
    EXPECT_EQ(TextureManager::referenceCount("made.png"), 2);
}

TEST_F(TextureManagerTest, FailedLoadsAndUnknownKindsAreRememberedAsNull)
{
    EXPECT_EQ(TextureManager::loadTexture("absent.png", nullptr, GL_TEXTURE_2D), nullptr);
    EXPECT_EQ(TextureManager::referenceCount("absent.png"), 1);
    // Even once the file exists, the name stays a failure.
    std::filesystem::copy_file(dir_.path("textures/" + picture(8, 8)), dir_.path("textures/absent.png"));
    EXPECT_EQ(TextureManager::loadTexture("absent.png", nullptr, GL_TEXTURE_2D), nullptr);
    EXPECT_EQ(TextureManager::referenceCount("absent.png"), 2);

    EXPECT_EQ(TextureManager::createTexture("odd kind", 8, 8, GL_TEXTURE_3D, GL_RGBA), nullptr);
    EXPECT_EQ(TextureManager::referenceCount("odd kind"), 1);
    // Releasing null drops the first null entry in name order.
    TextureManager::releaseTexture(nullptr);
    EXPECT_EQ(TextureManager::referenceCount("absent.png"), 1);
    EXPECT_EQ(TextureManager::referenceCount("odd kind"), 1);
}

TEST_F(TextureManagerTest, FailedPicturesAreListedWithTheirPrefixAndNotCounted)
{
    const auto listed = [](const std::string& path) {
        const std::vector<std::string> failed = TextureManager::failedPictures();
        return std::find(failed.begin(), failed.end(), path) != failed.end();
    };
    const size_t before = TextureManager::textureCount();
    const std::string prefix = dir_.path("textures") + "/";
    EXPECT_EQ(TextureManager::loadTexture("listed-absent.png", prefix.c_str(), GL_TEXTURE_2D), nullptr);
    EXPECT_TRUE(listed(prefix + "listed-absent.png"));
    EXPECT_EQ(TextureManager::textureCount(), before);

    const std::string good = picture(8, 8);
    ASSERT_NE(TextureManager::loadTexture(good.c_str(), prefix.c_str(), GL_TEXTURE_2D), nullptr);
    EXPECT_FALSE(listed(prefix + good));
    EXPECT_EQ(TextureManager::textureCount(), before + 1);
    // Made textures count too; made ones never fail to load.
    TextureManager::createTexture("listed-made", 8, 8, GL_TEXTURE_2D, GL_RGBA);
    EXPECT_EQ(TextureManager::textureCount(), before + 2);
}

TEST_F(TextureManagerTest, OtherKindsLoadThePictureWithoutUploading)
{
    const std::string name = picture(20, 10);
    Texture* texture = TextureManager::loadTexture(name.c_str(), nullptr, GL_TEXTURE_CUBE_MAP);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->name(), 0u);
    ASSERT_NE(texture->image(), nullptr);
    EXPECT_EQ(texture->image()->width, 20);
    EXPECT_EQ(texture->image()->bitsPerPixel, 24);
}

TEST_F(TextureManagerTest, ReleaseCountsDownAndForgetsAtZero)
{
    Texture* texture = TextureManager::createTexture("noise1", 16, 16, GL_TEXTURE_2D, GL_RGBA);
    TextureManager::createTexture("noise1", 16, 16, GL_TEXTURE_2D, GL_RGBA);
    Texture stranger(GL_TEXTURE_2D, GL_RGBA);
    TextureManager::releaseTexture(&stranger);
    EXPECT_EQ(TextureManager::referenceCount("noise1"), 2);
    TextureManager::releaseTexture(texture);
    EXPECT_EQ(TextureManager::referenceCount("noise1"), 1);
    TextureManager::releaseTexture(texture);
    EXPECT_EQ(TextureManager::referenceCount("noise1"), 0);
    Texture* again = TextureManager::createTexture("noise1", 32, 32, GL_TEXTURE_2D, GL_RGBA);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->width(), 32);
    EXPECT_EQ(TextureManager::referenceCount("noise1"), 1);
}

TEST_F(TextureManagerTest, VerboseLinesTellTheCounts)
{
    TextureManager::setVerbose(true);
    ::testing::internal::CaptureStdout();
    Texture* texture = TextureManager::createTexture("GlowFilter1", 128, 128, GL_TEXTURE_2D, GL_RGBA);
    TextureManager::createTexture("GlowFilter1", 128, 128, GL_TEXTURE_2D, GL_RGBA);
    TextureManager::releaseTexture(texture);
    TextureManager::releaseTexture(texture);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    TextureManager::setVerbose(false);
    EXPECT_EQ(printed,
              "added: GlowFilter1\n"
              "ret: GlowFilter1, refcount=2\n"
              "removing: GlowFilter1, refcount=2\n"
              "removing: GlowFilter1, refcount=1\n"
              "deleting: GlowFilter1\n");
}

TEST_F(TextureManagerTest, CubeMapsHaveSixClampedFaces)
{
    Texture* cube = TextureManager::createTexture("cubemap", 64, 32, GL_TEXTURE_CUBE_MAP, GL_RGBA);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->kind(), GLenum(GL_TEXTURE_CUBE_MAP));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
    for (GLenum face = 0; face < 6; ++face) {
        const TexelBlock block = readBack(GL_TEXTURE_CUBE_MAP, cube->name(), GL_TEXTURE_CUBE_MAP_POSITIVE_X + face);
        EXPECT_EQ(block.width, 64);
        EXPECT_EQ(block.height, 64);
        EXPECT_EQ(block.rgba, Bytes(64 * 64 * 4, 0));
    }
    cube->bind();
    GLint binding = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &binding);
    EXPECT_EQ(GLuint(binding), cube->name());
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
}

TEST_F(TextureManagerTest, DepthTexturesAreSquareAndBindAs2D)
{
    Texture* depth = TextureManager::createTexture("ShadowMapTexture", 256, 100, GL_DEPTH_COMPONENT,
                                                   GL_DEPTH_COMPONENT24);
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(depth->width(), 256);
    EXPECT_EQ(depth->height(), 256);
    glBindTexture(GL_TEXTURE_2D, 0);
    depth->bind();
    GLint binding = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    EXPECT_EQ(GLuint(binding), depth->name());
    GLint width = 0;
    GLint height = 0;
    GLint depthBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_DEPTH_SIZE, &depthBits);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 256);
    EXPECT_GE(depthBits, 16);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// No GL is touched before these end the process.
TEST(TextureManagerDeathTest, RenderTexturesAbove1024EndTheProcess)
{
    EXPECT_EXIT(TextureManager::createTexture("too large", 1025, 8, GL_TEXTURE_2D, GL_RGBA),
                ::testing::ExitedWithCode(1), "");
}

TEST(TextureManagerDeathTest, LoadingWithoutAnImageLibraryIsFatal)
{
    TextureManager::setImageLibrary(nullptr);
    EXPECT_EXIT(TextureManager::loadTexture("no library.png", nullptr, GL_TEXTURE_2D), ::testing::ExitedWithCode(1),
                "no imglib for texture");
}

}  // namespace
