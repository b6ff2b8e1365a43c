#include <gtest/gtest.h>

#include "resources/images/loaders.h"
#include "tests/images/image_test_support.h"


namespace {

struct TgaSpec {
    unsigned type = 2;
    unsigned mapType = 0;
    unsigned mapFirst = 0;
    unsigned mapLength = 0;
    unsigned mapBits = 0;
    unsigned width = 1;
    unsigned height = 1;
    unsigned depth = 24;
    unsigned descriptor = 0;
};

Bytes tgaFile(const TgaSpec& spec, const Bytes& body)
{
    Bytes out;
    put8(out, 0);
    put8(out, spec.mapType);
    put8(out, spec.type);
    put16(out, spec.mapFirst);
    put16(out, spec.mapLength);
    put8(out, spec.mapBits);
    put16(out, 0);
    put16(out, 0);
    put16(out, spec.width);
    put16(out, spec.height);
    put8(out, spec.depth);
    put8(out, spec.descriptor);
    out.insert(out.end(), body.begin(), body.end());
    // The original format has no footer; pad so the footer read succeeds.
    out.insert(out.end(), 26, 0);
    return out;
}

// Our pixels in the reference's layout: A, R, G, B back to R, G, B, A.
Bytes argbToRgba(const Bytes& argb)
{
    Bytes out;
    for (size_t i = 0; i + 3 < argb.size(); i += 4)
        out.insert(out.end(), {argb[i + 1], argb[i + 2], argb[i + 3], argb[i]});
    return out;
}

class TgaTest : public ::testing::Test {
protected:
    void SetUp() override { imageErrors.count = 0; }

    // Decodes path with ours and the reference and compares them by the
    // layout the record promises for that depth.
    void expectMatchesReference(const std::string& path)
    {
        ImagePtr image(loadTga(path.c_str()));
        ASSERT_NE(image, nullptr);
        const Reference reference = referenceDecode(path);
        ASSERT_GT(reference.width, 0) << "the reference cannot read it";
        EXPECT_EQ(image->width, reference.width);
        EXPECT_EQ(image->height, reference.height);
        switch (image->bitsPerPixel) {
        case 32: EXPECT_EQ(argbToRgba(pixelsOf(image.get())), reference.pixels); break;
        case 24: EXPECT_EQ(pixelsOf(image.get()), reference.pixels); break;
        case 8:
            if (image->paletteEntries != 0)
                EXPECT_EQ(expandPalette(image.get()), reference.pixels);
            else
                EXPECT_EQ(pixelsOf(image.get()), reference.pixels);
            break;
        case 16: {
            // Ours keeps 5 bits a channel; the reference widens them.
            const Bytes ours = pixelsOf(image.get());
            ASSERT_EQ(ours.size() / 2 * 3, reference.pixels.size());
            for (size_t i = 0; i < ours.size() / 2; ++i) {
                const unsigned v = (ours[i * 2] << 8) | ours[i * 2 + 1];
                EXPECT_EQ(v & 0x20, 0u);
                EXPECT_EQ(v >> 11, (reference.pixels[i * 3] * 31u + 127u) / 255u);
                EXPECT_EQ((v >> 6) & 31, (reference.pixels[i * 3 + 1] * 31u + 127u) / 255u);
                EXPECT_EQ(v & 31, (reference.pixels[i * 3 + 2] * 31u + 127u) / 255u);
            }
            break;
        }
        default: FAIL() << "depth " << image->bitsPerPixel;
        }
    }

    ScratchDir dir_;
};

TEST_F(TgaTest, FixturesMatchTheReference)
{
    for (const char* name :
         {"rgb24_bottom_up.tga", "rgba32_top_down.tga", "rgb24_rle_top_down.tga", "rgba32_rle_bottom_up.tga",
          "grey_bottom_up.tga", "grey_rle_top_down.tga", "indexed_bottom_up.tga", "indexed_rle_top_down.tga",
          "rgb16_bottom_up.tga"}) {
        SCOPED_TRACE(name);
        expectMatchesReference(fixturePath(name));
    }
}

TEST_F(TgaTest, PicturesOfAnotherEncoderMatchTheReference)
{
    for (int components : {1, 3, 4}) {
        for (bool runLength : {false, true}) {
            SCOPED_TRACE(components * 10 + runLength);
            const std::string path = dir_.path("stb.tga");
            ASSERT_TRUE(referenceWriteTga(path, 29, 17, components, testPattern(29, 17, components), runLength));
            expectMatchesReference(path);
        }
    }
}

TEST_F(TgaTest, BottomUpThirtyTwoBitsGiveArgbWithTheLastRowFirst)
{
    TgaSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.depth = 32;
    spec.descriptor = 0x08;
    // File rows: bottom row first, pixels stored B, G, R, A.
    const Bytes body = {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18};
    ImagePtr image(loadTga(dir_.write("a.tga", tgaFile(spec, body)).c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitsPerPixel, 32);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({14, 13, 12, 11, 18, 17, 16, 15, 4, 3, 2, 1, 8, 7, 6, 5}));
    // Already 32 bits: the conversion keeps every byte.
    const Bytes before = pixelsOf(image.get());
    ASSERT_EQ(imageTo32Bit(image.get()), 1);
    EXPECT_EQ(pixelsOf(image.get()), before);
}

TEST_F(TgaTest, RightToLeftRowsAreMirrored)
{
    TgaSpec spec;
    spec.type = 3;
    spec.depth = 8;
    spec.width = 3;
    spec.height = 2;
    const Bytes body = {1, 2, 3, 4, 5, 6};
    spec.descriptor = 0x30;  // top to bottom, right to left
    ImagePtr topDown(loadTga(dir_.write("m1.tga", tgaFile(spec, body)).c_str()));
    ASSERT_NE(topDown, nullptr);
    EXPECT_EQ(pixelsOf(topDown.get()), Bytes({3, 2, 1, 6, 5, 4}));
    spec.descriptor = 0x10;  // bottom to top, right to left: all reversed
    ImagePtr bottomUp(loadTga(dir_.write("m2.tga", tgaFile(spec, body)).c_str()));
    ASSERT_NE(bottomUp, nullptr);
    EXPECT_EQ(pixelsOf(bottomUp.get()), Bytes({6, 5, 4, 3, 2, 1}));
}

TEST_F(TgaTest, SixteenBitPixelsAreRepackedHighByteFirst)
{
    TgaSpec spec;
    spec.depth = 16;
    spec.descriptor = 0x21;
    spec.width = 2;
    // Pure red and pure blue in 1-5-5-5, little-endian.
    ImagePtr image(loadTga(dir_.write("s.tga", tgaFile(spec, {0x00, 0xFC, 0x1F, 0x80})).c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({0xF8, 0x00, 0x00, 0x1F}));
    ASSERT_EQ(imageTo32Bit(image.get()), 1);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({0, 0xF8, 0, 0, 0, 0, 0, 0xF8}));
}

TEST_F(TgaTest, ColourMapStartsAtItsFirstIndex)
{
    TgaSpec spec;
    spec.type = 1;
    spec.mapType = 1;
    spec.mapFirst = 2;
    spec.mapLength = 2;
    spec.mapBits = 24;
    spec.depth = 8;
    spec.width = 3;
    spec.descriptor = 0x20;
    const Bytes body = {30, 20, 10, 60, 50, 40, 2, 3, 0};
    ImagePtr image(loadTga(dir_.write("map.tga", tgaFile(spec, body)).c_str()));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->paletteEntries, 4);
    EXPECT_EQ(Bytes(image->palette, image->palette + 12), Bytes({0, 0, 0, 0, 0, 0, 10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(pixelsOf(image.get()), Bytes({2, 3, 0}));
    ASSERT_EQ(imageTo32Bit(image.get()), 1);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({0, 10, 20, 30, 0, 40, 50, 60, 0, 0, 0, 0}));
}

// Colour maps with two-byte entries (15 bits, or 16 with an attribute bit):
// the entries are widened to R, G, B, and the pixels stay the 8-bit indices
// the file holds, raw or run-length coded.
TEST_F(TgaTest, TwoByteColourMapEntriesWidenThePaletteAndKeepTheIndices)
{
    constexpr unsigned width = 7, height = 5, entries = 40;
    // Red, green, blue with the attribute bit, white with it, then a spread.
    std::vector<unsigned> map = {0x7C00, 0x03E0, 0x801F, 0xFFFF};
    for (unsigned i = map.size(); i < entries; ++i)
        map.push_back((i * 0x0A53u + 0x1234u) & 0xFFFFu);
    Bytes mapBytes;
    for (unsigned entry : map)
        put16(mapBytes, entry);
    // Row 2 is one index throughout: a run packet in the coded files.
    std::vector<Bytes> rows(height);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x)
            rows[y].push_back(static_cast<uint8_t>(y == 2 ? 33 : (y * width + x) * 7 % entries));
    }
    for (unsigned bits : {15u, 16u}) {
        for (unsigned type : {1u, 9u}) {
            SCOPED_TRACE(testing::Message() << bits << "-bit entries, type " << type);
            TgaSpec spec;
            spec.type = type;
            spec.mapType = 1;
            spec.mapLength = entries;
            spec.mapBits = bits;
            spec.width = width;
            spec.height = height;
            spec.depth = 8;
            spec.descriptor = 0x20;  // top row first
            Bytes body = mapBytes;
            for (const Bytes& row : rows) {
                if (type == 9 && row.front() == row.back()) {
                    body.insert(body.end(), {static_cast<uint8_t>(0x80 | (width - 1)), row.front()});
                    continue;
                }
                if (type == 9)
                    put8(body, width - 1);
                body.insert(body.end(), row.begin(), row.end());
            }
            const std::string path = dir_.write("map16.tga", tgaFile(spec, body));
            ImagePtr image(loadTga(path.c_str()));
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->bitsPerPixel, 8);
            ASSERT_EQ(image->paletteEntries, entries);
            Bytes indices;
            for (const Bytes& row : rows)
                indices.insert(indices.end(), row.begin(), row.end());
            EXPECT_EQ(pixelsOf(image.get()), indices);
            EXPECT_EQ(Bytes(image->palette, image->palette + 12),
                      Bytes({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
            expectMatchesReference(path);
        }
    }
}

TEST_F(TgaTest, IndicesPastTheColourMapLoadAndTurnBlack)
{
    // Run-length indices into a map of two entries, four pixels, top down.
    const TgaSpec spec{9, 1, 0, 2, 24, 4, 1, 8, 0x20};
    // Map entries blue-green-red (1, 2, 3) and (4, 5, 6); pixels 1, 2, 200, 0
    // as a raw packet of two, a run of one and a raw packet of one.
    const Bytes body = {1, 2, 3, 4, 5, 6, 0x01, 1, 2, 0x80, 200, 0x00, 0};
    ImagePtr image(loadTga(dir_.write("past.tga", tgaFile(spec, body)).c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->paletteEntries, 2);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({1, 2, 200, 0}));
    ASSERT_EQ(imageTo32Bit(image.get()), 1);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({0, 6, 5, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 2, 1}));
}

TEST_F(TgaTest, HeaderAndMapFailuresUseTheirMessages)
{
    const struct {
        const char* name;
        TgaSpec spec;
        Bytes body;
        const char* message;
    } cases[] = {
        {"type", {4, 0, 0, 0, 0, 1, 1, 24, 0}, {1, 2, 3}, "TGA: unrecognized image type"},
        {"nomap", {1, 0, 0, 2, 24, 1, 1, 8, 0}, {0}, "TGA: indexed image has invalid color map type"},
        {"map", {2, 1, 0, 0, 0, 1, 1, 24, 0}, {1, 2, 3}, "TGA: non-indexed image has invalid color map type"},
        {"empty", {1, 1, 0, 0, 24, 1, 1, 8, 0}, {0}, "TGA: invalid color map length"},
        {"wide", {1, 1, 0, 2, 24, 1, 1, 16, 0}, {1, 2, 3, 4, 5, 6, 1, 0}, "TGA: Couldn't read imagedata"},
        {"huge", {2, 0, 0, 0, 0, 65535, 65535, 32, 0}, {}, "TGA: Not enough memory for zmgimage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        imageErrors.count = 0;
        EXPECT_EQ(loadTga(dir_.write("f.tga", tgaFile(c.spec, c.body)).c_str()), nullptr);
        EXPECT_TRUE(imageErrorsContain(c.message));
    }
    EXPECT_EQ(loadTga(dir_.write("short.tga", Bytes(25, 0)).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("TGA: Cannot read footer"));
    EXPECT_EQ(loadTga(dir_.path("missing.tga").c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("TGA: File not found"));
}

TEST_F(TgaTest, RunLengthPacketsNeverWritePastThePicture)
{
    TgaSpec spec;
    spec.type = 11;
    spec.depth = 8;
    spec.width = 3;
    spec.descriptor = 0x20;
    // A run of 128 elements for a picture of three.
    ImagePtr run(loadTga(dir_.write("run.tga", tgaFile(spec, {0xFF, 9})).c_str()));
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(pixelsOf(run.get()), Bytes({9, 9, 9}));
    // A raw packet of 128 elements, of which the file holds only a few.
    ImagePtr raw(loadTga(dir_.write("raw.tga", tgaFile(spec, {0x7F, 1, 2, 3, 4})).c_str()));
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(pixelsOf(raw.get()), Bytes({1, 2, 3}));
    // No element at all: the file ends with its ID field.
    imageErrors.count = 0;
    Bytes headOnly = tgaFile(spec, {});
    headOnly.resize(18);
    headOnly[0] = 8;
    headOnly.insert(headOnly.end(), 8, 'i');
    EXPECT_EQ(loadTga(dir_.write("n.tga", headOnly).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("TGA: Could not read from file"));
    EXPECT_TRUE(imageErrorsContain("TGA: Couldn't read imagedata"));
}

TEST_F(TgaTest, DamagedCopiesStayInsideTheirBuffers)
{
    for (const char* name : {"rgba32_rle_bottom_up.tga", "indexed_rle_top_down.tga", "rgb16_bottom_up.tga"}) {
        SCOPED_TRACE(name);
        const Bytes whole = readWholeFile(fixturePath(name));
        ASSERT_FALSE(whole.empty());
        // Pixel data that end early still give a picture (the rest zero).
        EXPECT_GT(loadDamagedCopies(whole, loadTga, dir_, "tga").truncatedLoaded, 0);
    }
}

}  // namespace
