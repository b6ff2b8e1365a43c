// PCX files built byte by byte from the ZSoft format description.
#include <gtest/gtest.h>

#include "resources/images/loaders.h"
#include "tests/images/image_test_support.h"


namespace {

struct PcxSpec {
    unsigned xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    unsigned bitsPerPlane = 8;
    unsigned planes = 1;
    unsigned bytesPerLine = 0;
    unsigned version = 10;
    unsigned encoding = 1;
};

// Run-length coding as ZSoft writes it: runs of up to 63, and single bytes
// with both top bits set written as runs of one.
Bytes encodeRuns(const Bytes& data)
{
    Bytes out;
    for (size_t i = 0; i < data.size();) {
        size_t run = 1;
        while (i + run < data.size() && run < 63 && data[i + run] == data[i])
            ++run;
        if (run > 1 || (data[i] & 0xC0) == 0xC0)
            put8(out, 0xC0 | static_cast<unsigned>(run));
        put8(out, data[i]);
        i += run;
    }
    return out;
}

Bytes pcxHeader(const PcxSpec& spec)
{
    Bytes out(128, 0);
    out[0] = uint8_t(spec.version);
    out[1] = 5;
    out[2] = uint8_t(spec.encoding);
    out[3] = uint8_t(spec.bitsPerPlane);
    auto at16 = [&](size_t at, unsigned value) {
        out[at] = uint8_t(value);
        out[at + 1] = uint8_t(value >> 8);
    };
    at16(4, spec.xmin);
    at16(6, spec.ymin);
    at16(8, spec.xmax);
    at16(10, spec.ymax);
    out[65] = uint8_t(spec.planes);
    at16(66, spec.bytesPerLine);
    return out;
}

Bytes pcxFile(const PcxSpec& spec, const Bytes& decoded, const Bytes& palette = {})
{
    Bytes out = pcxHeader(spec);
    const Bytes runs = encodeRuns(decoded);
    out.insert(out.end(), runs.begin(), runs.end());
    if (!palette.empty()) {
        put8(out, 12);
        out.insert(out.end(), palette.begin(), palette.end());
    }
    return out;
}

Bytes greyRamp()
{
    Bytes palette;
    for (unsigned i = 0; i < 256; ++i)
        palette.insert(palette.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
    return palette;
}

class PcxTest : public ::testing::Test {
protected:
    void SetUp() override { imageErrors.count = 0; }
    ScratchDir dir_;
};

TEST_F(PcxTest, EightBitWithPalette)
{
    PcxSpec spec;
    spec.xmax = 5;
    spec.ymax = 2;
    spec.bytesPerLine = 6;
    Bytes indices;
    for (unsigned i = 0; i < 18; ++i)
        indices.push_back(uint8_t(i < 9 ? 7 : 0xC0 + i));  // a run, then bytes that need escaping
    ImagePtr image(loadPcx(dir_.write("p.pcx", pcxFile(spec, indices, greyRamp())).c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 6);
    EXPECT_EQ(image->height, 3);
    EXPECT_EQ(image->bitsPerPixel, 8);
    EXPECT_EQ(pixelsOf(image.get()), indices);
    ASSERT_EQ(image->paletteEntries, 256);
    EXPECT_EQ(Bytes(image->palette, image->palette + 768), greyRamp());
}

TEST_F(PcxTest, ThreePlanesInterleaveToRgb)
{
    PcxSpec spec;
    spec.xmax = 1;
    spec.ymax = 1;
    spec.planes = 3;
    spec.bytesPerLine = 2;
    // Each line holds its red plane, then green, then blue.
    const Bytes decoded = {1, 2, 10, 20, 100, 200, 3, 4, 30, 40, 0xF0, 0xF1};
    ImagePtr image(loadPcx(dir_.write("rgb.pcx", pcxFile(spec, decoded)).c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitsPerPixel, 24);
    EXPECT_EQ(image->paletteEntries, 0);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({1, 10, 100, 2, 20, 200, 3, 30, 0xF0, 4, 40, 0xF1}));
}

TEST_F(PcxTest, OddWidthsAreCopiedLineByLine)
{
    PcxSpec spec;
    spec.xmax = 2;
    spec.ymax = 1;
    spec.planes = 3;
    spec.bytesPerLine = 4;  // even, one padding byte per plane
    const Bytes decoded = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 11, 12, 13, 99, 14, 15, 16, 99, 17, 18, 19, 99};
    ImagePtr image(loadPcx(dir_.write("odd.pcx", pcxFile(spec, decoded)).c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(pixelsOf(image.get()),
              Bytes({1, 4, 7, 2, 5, 8, 3, 6, 9, 11, 14, 17, 12, 15, 18, 13, 16, 19}));

    PcxSpec single;
    single.xmax = 2;
    single.ymax = 1;
    single.bytesPerLine = 4;
    ImagePtr indexed(loadPcx(dir_.write("odd8.pcx", pcxFile(single, {1, 2, 3, 99, 4, 5, 6, 99})).c_str()));
    ASSERT_NE(indexed, nullptr);
    EXPECT_EQ(pixelsOf(indexed.get()), Bytes({1, 2, 3, 4, 5, 6}));
}

TEST_F(PcxTest, SizeComesFromTheWindow)
{
    PcxSpec spec;
    spec.xmin = 10;
    spec.xmax = 73;
    spec.ymax = 31;
    spec.bytesPerLine = 64;
    ImagePtr image(loadPcx(dir_.write("w.pcx", pcxFile(spec, Bytes(64 * 32, 5))).c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 64);
    EXPECT_EQ(image->height, 32);
}

TEST_F(PcxTest, PaletteOnlyWithTheMarkerAndRoomForIt)
{
    PcxSpec spec;
    spec.xmax = 31;
    spec.ymax = 31;
    spec.bytesPerLine = 32;
    Bytes noisy;
    for (unsigned i = 0; i < 32 * 32; ++i)
        noisy.push_back(uint8_t((i * 37) % 192));
    // Long enough for a palette, but no marker 769 bytes before the end.
    ImagePtr plain(loadPcx(dir_.write("n.pcx", pcxFile(spec, noisy)).c_str()));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->paletteEntries, 0);
    EXPECT_EQ(pixelsOf(plain.get()), noisy);

    // Shorter than the palette block: even a 12 right after the header must
    // not be mistaken for a marker by a seek that wraps round.
    spec.xmax = 1;
    spec.ymax = 0;
    spec.bytesPerLine = 2;
    Bytes tiny = pcxFile(spec, {12, 12});
    ASSERT_LT(tiny.size(), 769u);
    ImagePtr small(loadPcx(dir_.write("t.pcx", tiny).c_str()));
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->paletteEntries, 0);
    EXPECT_EQ(pixelsOf(small.get()), Bytes({12, 12}));
}

TEST_F(PcxTest, HeaderFailures)
{
    PcxSpec spec;
    spec.xmax = 1;
    spec.ymax = 1;
    spec.bytesPerLine = 2;
    spec.version = 11;
    EXPECT_EQ(loadPcx(dir_.write("v.pcx", pcxFile(spec, Bytes(4, 1))).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("PCX: Only ZSoft images supported"));
    spec.version = 10;
    spec.encoding = 0;
    EXPECT_EQ(loadPcx(dir_.write("e.pcx", pcxFile(spec, Bytes(4, 1))).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("PCX: Only rle compressed images supported"));
    EXPECT_EQ(loadPcx(dir_.write("h.pcx", Bytes(100, 10)).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("PCX: Cannot read header"));
    EXPECT_EQ(loadPcx(dir_.path("missing.pcx").c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("PCX: File not found"));
}

TEST_F(PcxTest, HostileSizesAndRunsStayInsideTheBuffers)
{
    // Sizes whose product is far beyond anything real.
    PcxSpec huge;
    huge.xmax = 65535;
    huge.ymax = 65535;
    huge.planes = 255;
    huge.bytesPerLine = 65535;
    EXPECT_EQ(loadPcx(dir_.write("huge.pcx", pcxFile(huge, {1})).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("PCX: Not enough memory for data"));

    // A window ending before it starts.
    PcxSpec inverted;
    inverted.xmin = 5;
    inverted.xmax = 2;
    inverted.bytesPerLine = 4;
    EXPECT_EQ(loadPcx(dir_.write("inv.pcx", pcxFile(inverted, {1, 2, 3, 4})).c_str()), nullptr);

    // A run of 63 where two bytes remain, then data ending early.
    PcxSpec spec;
    spec.xmax = 3;
    spec.ymax = 1;
    spec.bytesPerLine = 4;
    Bytes runs = pcxHeader(spec);
    runs.insert(runs.end(), {1, 2, 3, 4, 5, 6, 0xFF, 9});
    ImagePtr clipped(loadPcx(dir_.write("run.pcx", runs).c_str()));
    ASSERT_NE(clipped, nullptr);
    EXPECT_EQ(pixelsOf(clipped.get()), Bytes({1, 2, 3, 4, 5, 6, 9, 9}));
    runs.resize(128 + 3);
    ImagePtr early(loadPcx(dir_.write("early.pcx", runs).c_str()));
    ASSERT_NE(early, nullptr);
    EXPECT_EQ(pixelsOf(early.get()), Bytes({1, 2, 3, 0, 0, 0, 0, 0}));

    // Lines shorter than the width leave the uncovered pixels zero.
    PcxSpec narrow;
    narrow.xmax = 5;
    narrow.ymax = 0;
    narrow.planes = 3;
    narrow.bytesPerLine = 2;
    ImagePtr cut(loadPcx(dir_.write("narrow.pcx", pcxFile(narrow, {1, 2, 3, 4, 5, 6})).c_str()));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(pixelsOf(cut.get()), Bytes({1, 3, 5, 2, 4, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PcxTest, DamagedCopiesStayInsideTheirBuffers)
{
    PcxSpec spec;
    spec.xmax = 6;
    spec.ymax = 4;
    spec.planes = 3;
    spec.bytesPerLine = 8;
    Bytes decoded;
    for (unsigned i = 0; i < 8 * 3 * 5; ++i)
        decoded.push_back(uint8_t(i < 40 ? 0xC5 : i * 3));
    const Bytes whole = pcxFile(spec, decoded, greyRamp());
    // Data that end early still give a picture (the rest stays zero).
    EXPECT_GT(loadDamagedCopies(whole, loadPcx, dir_, "pcx").truncatedLoaded, 0);
}

}  // namespace
