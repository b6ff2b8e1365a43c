#include <gtest/gtest.h>

#include "resources/images/loaders.h"
#include "tests/images/image_test_support.h"

#include <utility>

namespace {

// A GIF whose raster is given as explicit LZW codes (code, bit width), for
// pictures and damage no encoder would write.
Bytes gifWithCodes(unsigned width, unsigned height, unsigned imageFlags, unsigned minimumCodeSize,
                   const std::vector<std::pair<unsigned, unsigned>>& codes, const char* signature = "GIF89a")
{
    Bytes out;
    putText(out, signature);
    put16(out, width);
    put16(out, height);
    put8(out, 0x81);  // global table of 4 entries
    put8(out, 0);
    put8(out, 0);
    for (unsigned i = 0; i < 4; ++i)
        out.insert(out.end(), {uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i)});
    put8(out, 0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    put8(out, imageFlags);
    if (imageFlags & 0x80) {
        for (int i = 0; i < (3 << ((imageFlags & 7) + 1)); ++i)
            put8(out, 0xEE);
    }
    put8(out, minimumCodeSize);
    Bytes packed;
    uint32_t bits = 0;
    unsigned count = 0;
    for (const auto& [code, codeWidth] : codes) {
        bits |= code << count;
        count += codeWidth;
        while (count >= 8) {
            packed.push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
        packed.push_back(uint8_t(bits));
    put8(out, static_cast<unsigned>(packed.size()));
    out.insert(out.end(), packed.begin(), packed.end());
    put8(out, 0);
    put8(out, 0x3B);
    return out;
}

// Each pixel as a clear code followed by the literal: the table never grows.
std::vector<std::pair<unsigned, unsigned>> literalCodes(const Bytes& indices)
{
    std::vector<std::pair<unsigned, unsigned>> codes;
    for (const uint8_t index : indices) {
        codes.emplace_back(4, 3);
        codes.emplace_back(index, 3);
    }
    codes.emplace_back(5, 3);
    return codes;
}

unsigned fixturePattern(unsigned x, unsigned y, unsigned colours, unsigned seed)
{
    return (x * 7 + y * 13 + (x / 3) * (y / 2) + seed) % colours;
}

class GifTest : public ::testing::Test {
protected:
    void SetUp() override { imageErrors.count = 0; }
    ScratchDir dir_;
};

TEST_F(GifTest, FixturesMatchTheReference)
{
    for (const char* name : {"plain.gif", "interlaced.gif", "long.gif"}) {
        SCOPED_TRACE(name);
        const std::string path = fixturePath(name);
        ImagePtr image(loadGif(path.c_str()));
        ASSERT_NE(image, nullptr);
        const Reference reference = referenceDecode(path, 3);
        ASSERT_GT(reference.width, 0);
        EXPECT_EQ(image->width, reference.width);
        EXPECT_EQ(image->height, reference.height);
        EXPECT_EQ(image->bitsPerPixel, 8);
        EXPECT_EQ(expandPalette(image.get()), reference.pixels);
    }
}

TEST_F(GifTest, LocalColourTableIsSkippedAndLaterImagesIgnored)
{
    ImagePtr image(loadGif(fixturePath("two_images_local_table.gif").c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 9);
    EXPECT_EQ(image->height, 8);
    EXPECT_EQ(image->paletteEntries, 4);
    for (unsigned y = 0; y < 8; ++y) {
        for (unsigned x = 0; x < 9; ++x)
            EXPECT_EQ(image->pixels[y * 9 + x], fixturePattern(x, y, 4, 2)) << x << "," << y;
    }
    // The global table, not the local one (which the writer filled from
    // another seed) colours the indices.
    EXPECT_EQ(image->palette[3], (1 * 37 + 5) & 0xFF);
}

TEST_F(GifTest, InterlacedRowsArePlacedByPass)
{
    Bytes stored;
    for (unsigned row = 0; row < 8; ++row)
        stored.insert(stored.end(), {uint8_t(row % 4), uint8_t(row / 4)});
    const std::string path = dir_.write("rows.gif", gifWithCodes(2, 8, 0x40, 2, literalCodes(stored)));
    ImagePtr image(loadGif(path.c_str()));
    ASSERT_NE(image, nullptr);
    const unsigned pictureRowOf[8] = {0, 4, 2, 6, 1, 3, 5, 7};
    for (unsigned row = 0; row < 8; ++row) {
        EXPECT_EQ(image->pixels[pictureRowOf[row] * 2], row % 4) << row;
        EXPECT_EQ(image->pixels[pictureRowOf[row] * 2 + 1], row / 4) << row;
    }
}

TEST_F(GifTest, LocalTableOfFlags0x82IsTwentyFourBytes)
{
    const Bytes indices = {1, 2, 3, 0};
    const std::string path = dir_.write("local.gif", gifWithCodes(2, 2, 0x82, 2, literalCodes(indices)));
    ImagePtr image(loadGif(path.c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelsOf(image.get()), indices);
}

TEST_F(GifTest, SignatureAndStructureFailures)
{
    const auto codes = literalCodes({1, 2});
    EXPECT_EQ(loadGif(dir_.write("a.gif", gifWithCodes(2, 1, 0, 2, codes, "GIF88a")).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("GIF: Not a valid GIF file"));

    EXPECT_EQ(loadGif(dir_.write("b.gif", Bytes{'G', 'I', 'F'}).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("GIF: Couldn't read imageheader"));

    // The trailer before any image.
    Bytes empty;
    putText(empty, "GIF87a");
    empty.insert(empty.end(), {1, 0, 1, 0, 0, 0, 0, 0x3B});
    imageErrors.count = 0;
    EXPECT_EQ(loadGif(dir_.write("c.gif", empty).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("GIF: Couldn't read gifimage"));

    imageErrors.count = 0;
    EXPECT_EQ(loadGif(dir_.path("missing.gif").c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("GIF: File not found"));
}

TEST_F(GifTest, CodesOutsideTheTableFailTheDecode)
{
    // After a clear the next free code is 6; 7 lies past it.
    const std::string past = dir_.write("past.gif", gifWithCodes(2, 1, 0, 2, {{4, 3}, {1, 3}, {7, 3}, {5, 3}}));
    EXPECT_EQ(loadGif(past.c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("GIF: Decoding error"));

    // A table code right after a clear has no string behind it.
    imageErrors.count = 0;
    const std::string early = dir_.write("early.gif", gifWithCodes(2, 1, 0, 2, {{4, 3}, {6, 3}, {5, 3}}));
    EXPECT_EQ(loadGif(early.c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("GIF: Decoding error"));

    // A minimum code size that would put the clear code outside the table.
    imageErrors.count = 0;
    EXPECT_EQ(loadGif(dir_.write("wide.gif", gifWithCodes(2, 1, 0, 12, {{0, 8}})).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("GIF: Decoding error"));
}

TEST_F(GifTest, CodeEqualToTheNextFreeRepeatsThePreviousString)
{
    // 1, then code 6 (= next free): "1" + "1", then 6 again is now an entry.
    const std::string path = dir_.write("kwk.gif", gifWithCodes(5, 1, 0, 2, {{4, 3}, {1, 3}, {6, 3}, {6, 3}, {5, 4}}));
    ImagePtr image(loadGif(path.c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({1, 1, 1, 1, 1}));
}

TEST_F(GifTest, OutputBeyondTheRasterIsDropped)
{
    const std::string path = dir_.write("over.gif", gifWithCodes(2, 1, 0, 2, literalCodes({1, 2, 3, 3, 3, 3})));
    ImagePtr image(loadGif(path.c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({1, 2}));
}

TEST_F(GifTest, DamagedCopiesStayInsideTheirBuffers)
{
    for (const char* name : {"plain.gif", "interlaced.gif", "two_images_local_table.gif"}) {
        SCOPED_TRACE(name);
        const Bytes whole = readWholeFile(fixturePath(name));
        ASSERT_FALSE(whole.empty());
        // Every truncation loses the trailer, so none of them may load.
        EXPECT_EQ(loadDamagedCopies(whole, loadGif, dir_, "gif").truncatedLoaded, 0);
    }
}

TEST_F(GifTest, TruncatedFilesFail)
{
    const Bytes whole = readWholeFile(fixturePath("plain.gif"));
    for (size_t length : {size_t(13), size_t(60), whole.size() / 2, whole.size() - 1}) {
        const std::string path = dir_.write("cut.gif", Bytes(whole.begin(), whole.begin() + long(length)));
        EXPECT_EQ(loadGif(path.c_str()), nullptr) << length;
    }
}

}  // namespace
