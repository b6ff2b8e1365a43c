// PNG and JPEG pictures written by independent encoders (stb_image_write,
// libjpeg's compressor, a hand-built PNG) decode to what stb_image decodes.
#include <gtest/gtest.h>

#include "resources/images/loaders.h"
#include "tests/images/image_test_support.h"

#include <cstdio>
#include <jpeglib.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Writes a JPEG with libjpeg's own compressor in the given colour space.
Bytes compressJpeg(int width, int height, J_COLOR_SPACE space, int components, const Bytes& pixels)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(pixels.data() + size_t(info.next_scanline) * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

void putChunk(Bytes& png, const char* type, const Bytes& data)
{
    const uint32_t length = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        put8(png, (length >> shift) & 0xFF);
    Bytes body;
    putText(body, type);
    body.insert(body.end(), data.begin(), data.end());
    const uint32_t crc = static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    png.insert(png.end(), body.begin(), body.end());
    for (int shift = 24; shift >= 0; shift -= 8)
        put8(png, (crc >> shift) & 0xFF);
}

// A palette PNG of 4-bit indices, laid out by hand from the format's
// description: rows with filter byte 0, two indices to a byte.
Bytes paletteSixteenColourPng(int width, int height, Bytes& indices)
{
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    for (uint32_t value : {uint32_t(width), uint32_t(height)}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            put8(header, (value >> shift) & 0xFF);
    }
    header.insert(header.end(), {4, 3, 0, 0, 0});
    putChunk(png, "IHDR", header);
    Bytes palette;
    for (unsigned i = 0; i < 16; ++i)
        palette.insert(palette.end(), {uint8_t(i * 16), uint8_t(255 - i * 9), uint8_t(i * 5 + 3)});
    putChunk(png, "PLTE", palette);
    Bytes raw;
    indices.clear();
    for (int y = 0; y < height; ++y) {
        put8(raw, 0);
        for (int x = 0; x < width; x += 2) {
            const unsigned a = (x + y * 3) % 16;
            const unsigned b = (x + 1 + y * 3) % 16;
            put8(raw, (a << 4) | (x + 1 < width ? b : 0));
            indices.push_back(uint8_t(a));
            if (x + 1 < width)
                indices.push_back(uint8_t(b));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    putChunk(png, "IDAT", packed);
    putChunk(png, "IEND", {});
    return png;
}

class PngJpgTest : public ::testing::Test {
protected:
    void SetUp() override { imageErrors.count = 0; }
    ScratchDir dir_;
};

TEST_F(PngJpgTest, PngTrueColourMatchesTheReference)
{
    for (int components : {1, 3, 4}) {
        SCOPED_TRACE(components);
        const std::string path = dir_.path("picture.png");
        ASSERT_TRUE(referenceWritePng(path, 37, 23, components, testPattern(37, 23, components)));
        ImagePtr image(loadPng(path.c_str()));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, 37);
        EXPECT_EQ(image->height, 23);
        EXPECT_EQ(image->bitsPerPixel, components * 8);
        EXPECT_EQ(image->paletteEntries, 0);
        EXPECT_EQ(pixelsOf(image.get()), referenceDecode(path).pixels);
    }
}

TEST_F(PngJpgTest, PalettePngGivesIndicesWithItsPalette)
{
    Bytes indices;
    const std::string path = dir_.write("palette.png", paletteSixteenColourPng(11, 6, indices));
    ImagePtr image(loadPng(path.c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitsPerPixel, 8);
    EXPECT_EQ(image->paletteEntries, 16);
    EXPECT_EQ(pixelsOf(image.get()), indices);

    const Reference reference = referenceDecode(path, 3);
    ASSERT_EQ(imageTo32Bit(image.get()), 1);
    const Bytes converted = pixelsOf(image.get());
    ASSERT_EQ(converted.size(), reference.pixels.size() / 3 * 4);
    for (size_t i = 0; i < reference.pixels.size() / 3; ++i) {
        EXPECT_EQ(converted[i * 4], 0);
        EXPECT_EQ(Bytes(converted.begin() + i * 4 + 1, converted.begin() + i * 4 + 4),
                  Bytes(reference.pixels.begin() + i * 3, reference.pixels.begin() + i * 3 + 3));
    }
}

TEST_F(PngJpgTest, DamagedPngsGiveNull)
{
    const std::string path = dir_.path("whole.png");
    ASSERT_TRUE(referenceWritePng(path, 40, 30, 3, testPattern(40, 30, 3)));
    const Bytes whole = readWholeFile(path);
    for (size_t cut : {size_t(4), size_t(20), size_t(40), whole.size() / 2, whole.size() - 13}) {
        const std::string cutPath = dir_.write("cut.png", Bytes(whole.begin(), whole.begin() + long(cut)));
        EXPECT_EQ(loadPng(cutPath.c_str()), nullptr) << cut;
    }
    Bytes flipped = whole;
    for (size_t i = 60; i < flipped.size() - 20; i += 7)
        flipped[i] ^= 0x5A;
    EXPECT_EQ(loadPng(dir_.write("flipped.png", flipped).c_str()), nullptr);
    EXPECT_EQ(loadPng(dir_.path("missing.png").c_str()), nullptr);
    // None of these failures has a message of its own.
    EXPECT_EQ(imageErrors.count, 0);
}

TEST_F(PngJpgTest, ColourJpegMatchesTheReferenceWithinRounding)
{
    const std::string path = dir_.path("colour.jpg");
    ASSERT_TRUE(referenceWriteJpg(path, 48, 32, 3, testPattern(48, 32, 3), 95));
    ImagePtr image(loadJpg(path.c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 48);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->bitsPerPixel, 24);
    EXPECT_EQ(image->paletteEntries, 0);
    const Bytes ours = pixelsOf(image.get());
    const Reference reference = referenceDecode(path, 3);
    ASSERT_EQ(ours.size(), reference.pixels.size());
    // Two decoders of the same JPEG differ in their inverse DCT rounding.
    int worst = 0;
    for (size_t i = 0; i < ours.size(); ++i)
        worst = std::max(worst, std::abs(int(ours[i]) - int(reference.pixels[i])));
    EXPECT_LE(worst, 3);
}

TEST_F(PngJpgTest, GreyJpegHasAGreyPalette)
{
    const Bytes grey = testPattern(24, 16, 1);
    const std::string path = dir_.write("grey.jpg", compressJpeg(24, 16, JCS_GRAYSCALE, 1, grey));
    ImagePtr image(loadJpg(path.c_str()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bitsPerPixel, 8);
    ASSERT_EQ(image->paletteEntries, 256);
    for (int i : {0, 1, 128, 255})
        EXPECT_EQ(Bytes(image->palette + i * 3, image->palette + i * 3 + 3), Bytes(3, uint8_t(i)));
    const Bytes ours = pixelsOf(image.get());
    const Reference reference = referenceDecode(path, 1);
    ASSERT_EQ(ours.size(), reference.pixels.size());
    for (size_t i = 0; i < ours.size(); ++i)
        EXPECT_LE(std::abs(int(ours[i]) - int(reference.pixels[i])), 2) << i;
}

TEST_F(PngJpgTest, FourComponentJpegIsAnUnsupportedDepth)
{
    const std::string path = dir_.write("cmyk.jpg", compressJpeg(16, 8, JCS_CMYK, 4, testPattern(16, 8, 4)));
    EXPECT_EQ(loadJpg(path.c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("JPG: Unsupported bitdepth!"));
}

TEST_F(PngJpgTest, DamagedCopiesStayInsideTheirBuffers)
{
    const std::string png = dir_.path("whole.png");
    ASSERT_TRUE(referenceWritePng(png, 20, 12, 4, testPattern(20, 12, 4)));
    // Only cuts into the closing 12-byte IEND chunk leave every row there;
    // a JPEG without its end marker never loads.
    EXPECT_LE(loadDamagedCopies(readWholeFile(png), loadPng, dir_, "png").truncatedLoaded, 12);
    const std::string jpg = dir_.path("whole.jpg");
    ASSERT_TRUE(referenceWriteJpg(jpg, 20, 12, 3, testPattern(20, 12, 3), 90));
    EXPECT_EQ(loadDamagedCopies(readWholeFile(jpg), loadJpg, dir_, "jpg").truncatedLoaded, 0);
}

TEST_F(PngJpgTest, DamagedJpegsFailAsUnsupportedFormat)
{
    const std::string path = dir_.path("whole.jpg");
    ASSERT_TRUE(referenceWriteJpg(path, 40, 40, 3, testPattern(40, 40, 3), 80));
    const Bytes whole = readWholeFile(path);
    for (size_t cut : {size_t(0), size_t(2), size_t(100), whole.size() / 2, whole.size() - 2}) {
        imageErrors.count = 0;
        const std::string cutPath = dir_.write("cut.jpg", Bytes(whole.begin(), whole.begin() + long(cut)));
        EXPECT_EQ(loadJpg(cutPath.c_str()), nullptr) << cut;
        EXPECT_TRUE(imageErrorsContain("JPG: Unsupported file format")) << cut;
    }
    EXPECT_EQ(loadJpg(dir_.write("text.jpg", Bytes(300, 'x')).c_str()), nullptr);

    // A frame header claiming 65000 x 65000 pixels is refused before the
    // decompressor sizes anything by it.
    Bytes huge = whole;
    size_t frame = 2;
    while (frame + 9 < huge.size() && !(huge[frame] == 0xFF && huge[frame + 1] == 0xC0))
        ++frame;
    ASSERT_LT(frame + 9, huge.size());
    huge[frame + 5] = huge[frame + 7] = 0xFD;
    huge[frame + 6] = huge[frame + 8] = 0xE8;
    imageErrors.count = 0;
    EXPECT_EQ(loadJpg(dir_.write("huge.jpg", huge).c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("JPG: Not enough memory for zmgimage"));

    imageErrors.count = 0;
    EXPECT_EQ(loadJpg(dir_.path("missing.jpg").c_str()), nullptr);
    EXPECT_TRUE(imageErrorsContain("JPG: File not found"));
}

}  // namespace
