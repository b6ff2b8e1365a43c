#include <gtest/gtest.h>

#include "resources/datafile.h"
#include "resources/images/image_cache.h"
#include "resources/images/loaders.h"
#include "tests/images/image_test_support.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// Collects what the library prints while it lives.
class PrintedLines {
public:
    PrintedLines() : file_(std::tmpfile()), previous_(imageOutput) { imageOutput = file_; }
    ~PrintedLines()
    {
        imageOutput = previous_;
        std::fclose(file_);
    }
    PrintedLines(const PrintedLines&) = delete;
    PrintedLines& operator=(const PrintedLines&) = delete;

    std::string text() const
    {
        std::fflush(file_);
        std::rewind(file_);
        std::string out;
        for (int c = std::fgetc(file_); c != EOF; c = std::fgetc(file_))
            out += static_cast<char>(c);
        return out;
    }

private:
    std::FILE* file_;
    std::FILE* previous_;
};

class ImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clearDataArchive();
        imageVerbose = false;
        std::filesystem::create_directories(dir_.path("textures"));
        std::filesystem::create_directories(dir_.path("images"));
        referenceWritePng(dir_.path("textures/dot.png"), 4, 2, 3, testPattern(4, 2, 3));
        referenceWritePng(dir_.path("images/dot.png"), 8, 8, 4, testPattern(8, 8, 4));
        referenceWriteTga(dir_.path("textures/BIG.TGA"), 3, 3, 3, testPattern(3, 3, 3), false);
    }
    void TearDown() override { imageVerbose = true; }

    std::string prefix(const char* folder) const { return dir_.path(folder) + "/"; }

    ScratchDir dir_;
};

TEST_F(ImageCacheTest, SecondRequestReturnsTheFirstImageWhateverThePrefix)
{
    PrintedLines printed;
    ImageCache cache;
    Image* first = cache.loadImage("dot.png", prefix("textures").c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width, 4);
    Image* second = cache.loadImage("dot.png", prefix("images").c_str());
    EXPECT_EQ(second, first);
    EXPECT_EQ(printed.text(),
              "\nloading " + prefix("textures") + "dot.png from disk\n" + "\nfound image dot.png\n");
}

TEST_F(ImageCacheTest, PrefixComesFromTheCallThenTheCache)
{
    ImageCache cache;
    cache.setPathPrefix(prefix("images").c_str());
    Image* fromCache = cache.loadImage("dot.png");
    ASSERT_NE(fromCache, nullptr);
    EXPECT_EQ(fromCache->width, 8);

    ImageCache other;
    other.setPathPrefix(prefix("images").c_str());
    Image* fromCall = other.loadImage("dot.png", prefix("textures").c_str());
    ASSERT_NE(fromCall, nullptr);
    EXPECT_EQ(fromCall->width, 4);

    // With neither, the name is the whole path.
    ImageCache bare;
    Image* byName = bare.loadImage((prefix("textures") + "BIG.TGA").c_str());
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->bitsPerPixel, 24);
}

TEST_F(ImageCacheTest, ExtensionsMustBeKnownAndOfOneCase)
{
    PrintedLines printed;
    ImageCache cache;
    cache.setPathPrefix(prefix("textures").c_str());
    std::filesystem::copy_file(dir_.path("textures/dot.png"), dir_.path("textures/Photo.Png"));
    EXPECT_EQ(cache.loadImage("Photo.Png"), nullptr);
    EXPECT_NE(printed.text().find("could not load image\n"), std::string::npos);
    EXPECT_EQ(cache.loadImage("FireTexture"), nullptr);
    EXPECT_EQ(cache.loadImage("ng"), nullptr);
    EXPECT_EQ(cache.loadImage(""), nullptr);
    EXPECT_NE(cache.loadImage("BIG.TGA"), nullptr);
}

TEST_F(ImageCacheTest, FailedLoadsAreTriedAgain)
{
    ImageCache cache;
    cache.setPathPrefix(prefix("textures").c_str());
    EXPECT_EQ(cache.loadImage("late.png"), nullptr);
    std::filesystem::copy_file(dir_.path("textures/dot.png"), dir_.path("textures/late.png"));
    EXPECT_NE(cache.loadImage("late.png"), nullptr);
}

// Runs swtool image; its first line of standard output, or "" on failure.
std::string runSwtoolImage(const std::string& arguments)
{
    const std::string command = std::string(SW_BINARY_DIR) + "/swtool image " + arguments + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return "";
    char line[128] = {};
    const bool gotLine = std::fgets(line, sizeof line, pipe) != nullptr;
    return pclose(pipe) == 0 && gotLine ? line : "";
}

TEST_F(ImageCacheTest, SwtoolPrintsTheShapeAndWritesThePixels)
{
    if (!std::filesystem::exists(std::string(SW_BINARY_DIR) + "/swtool"))
        GTEST_SKIP() << "swtool is not built";
    const std::string picture = fixturePath("indexed_bottom_up.tga");
    const std::string raw = dir_.path("out.raw");
    for (const bool to32 : {false, true}) {
        const std::string line = runSwtoolImage(picture + (to32 ? " --to32" : "") + " --raw " + raw);
        ImagePtr image(loadTga(picture.c_str()));
        ASSERT_NE(image, nullptr);
        if (to32) {
            ASSERT_EQ(imageTo32Bit(image.get()), 1);
        }
        EXPECT_EQ(line, std::to_string(image->width) + " " + std::to_string(image->height) + " " +
                            std::to_string(image->bitsPerPixel) + " " + std::to_string(image->paletteEntries) + "\n");
        EXPECT_EQ(readWholeFile(raw), pixelsOf(image.get()));
    }
    EXPECT_EQ(runSwtoolImage(picture + " --scale 0x4"), "");
    EXPECT_EQ(runSwtoolImage(dir_.path("none.gif")), "");
}

// End to end: pictures of other encoders through swtool, converted to 32
// bits, give the reference's colours in the record's 32-bit layout.
TEST_F(ImageCacheTest, SwtoolThirtyTwoBitsMatchTheReference)
{
    if (!std::filesystem::exists(std::string(SW_BINARY_DIR) + "/swtool"))
        GTEST_SKIP() << "swtool is not built";
    const std::string png = dir_.path("rgb.png");
    ASSERT_TRUE(referenceWritePng(png, 13, 7, 3, testPattern(13, 7, 3)));
    const std::string tga = dir_.path("rgba.tga");
    ASSERT_TRUE(referenceWriteTga(tga, 9, 5, 4, testPattern(9, 5, 4), true));
    const std::string raw = dir_.path("out.raw");
    const struct {
        std::string path;
        int alphaAt;  // -1: alpha byte is 0 first; 3: 255 last; 0: alpha first from the file
    } cases[] = {{fixturePath("interlaced.gif"), -1}, {png, 3}, {tga, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const Reference reference = referenceDecode(c.path, 4);
        ASSERT_GT(reference.width, 0);
        EXPECT_EQ(runSwtoolImage(c.path + " --to32 --raw " + raw),
                  std::to_string(reference.width) + " " + std::to_string(reference.height) + " 32 " +
                      std::to_string(c.alphaAt == -1 ? 256 : 0) + "\n");
        Bytes expected;
        for (size_t i = 0; i < reference.pixels.size(); i += 4) {
            const uint8_t* p = &reference.pixels[i];
            if (c.alphaAt == 3)
                expected.insert(expected.end(), {p[0], p[1], p[2], 255});
            else
                expected.insert(expected.end(), {uint8_t(c.alphaAt == 0 ? p[3] : 0), p[0], p[1], p[2]});
        }
        EXPECT_EQ(readWholeFile(raw), expected);
    }
}

}  // namespace
