#include <gtest/gtest.h>

#include "resources/images/image.h"
#include "tests/images/image_test_support.h"

#include <cstring>

namespace {

ImagePtr makeImage(unsigned width, unsigned height, unsigned bits, unsigned entries, const Bytes& pixels)
{
    ImagePtr image(imageCreate(width, height, bits, entries));
    if (image != nullptr && !pixels.empty())
        std::memcpy(image->pixels, pixels.data(), pixels.size());
    return image;
}

class ImageRecordTest : public ::testing::Test {
protected:
    void SetUp() override { imageErrors.count = 0; }
};

TEST_F(ImageRecordTest, CreateGivesZeroedBlocksOfTheRequestedShape)
{
    ImagePtr image(imageCreate(5, 3, 24, 16));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->kind, 1);
    EXPECT_EQ(image->width, 5);
    EXPECT_EQ(image->height, 3);
    EXPECT_EQ(image->bitsPerPixel, 24);
    EXPECT_EQ(image->paletteEntries, 16);
    EXPECT_EQ(pixelsOf(image.get()), Bytes(5 * 3 * 3, 0));
    EXPECT_EQ(Bytes(image->palette, image->palette + 48), Bytes(48, 0));

    ImagePtr plain(imageCreate(2, 2, 8, 0));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->palette, nullptr);
}

TEST_F(ImageRecordTest, SizesBeyondTheLimitAreRefusedBeforeAllocating)
{
    EXPECT_EQ(imageCreate(65535, 65535, 32, 0), nullptr);
    EXPECT_TRUE(imageErrorsContain("ZMG: Not enough memory for zmgimage->image"));
    EXPECT_EQ(imageCreate(70000, 1, 8, 0), nullptr);
    EXPECT_FALSE(imageSizeAllowed(65536, 1, 1));
    EXPECT_TRUE(imageSizeAllowed(8192, 8192, 4));
    EXPECT_FALSE(imageSizeAllowed(8192, 8193, 4));
}

TEST_F(ImageRecordTest, DuplicateCopiesPaletteAndPixels)
{
    ImagePtr image = makeImage(2, 1, 8, 2, {1, 0});
    image->palette[0] = 7;
    image->palette[5] = 9;
    ImagePtr copy(imageDuplicate(image.get()));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->pixels, image->pixels);
    EXPECT_EQ(pixelsOf(copy.get()), Bytes({1, 0}));
    EXPECT_EQ(Bytes(copy->palette, copy->palette + 6), Bytes({7, 0, 0, 0, 0, 9}));
}

TEST_F(ImageRecordTest, ReshapeReplacesBlocksWithZeroedOnes)
{
    ImagePtr image = makeImage(2, 2, 8, 0, {1, 2, 3, 4});
    ASSERT_EQ(imageReshape(3, 1, 32, 4, image.get()), 1);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->paletteEntries, 4);
    EXPECT_EQ(pixelsOf(image.get()), Bytes(12, 0));

    // A refused shape leaves an empty record that is safe to use and free.
    EXPECT_EQ(imageReshape(65535, 65535, 32, 0, image.get()), 0);
    EXPECT_EQ(image->width, 0);
    EXPECT_EQ(image->pixels, nullptr);
    EXPECT_TRUE(imageErrorsContain("ZMG: Not enough memory for zmgimage->image"));
}

TEST_F(ImageRecordTest, ErrorListEmptiesWhenFull)
{
    for (int i = 0; i < ImageErrorList::capacity; ++i)
        imagePushError("first");
    EXPECT_EQ(imageErrors.count, ImageErrorList::capacity);
    imagePushError("overflow");
    EXPECT_EQ(imageErrors.count, 1);
    EXPECT_STREQ(imageErrors.messages[0], "overflow");
}

TEST_F(ImageRecordTest, EightBitConvertsThroughThePalette)
{
    ImagePtr image = makeImage(2, 1, 8, 2, {0, 1});
    const uint8_t palette[] = {10, 20, 30, 40, 50, 60};
    std::memcpy(image->palette, palette, 6);
    ASSERT_EQ(imageTo32Bit(image.get()), 1);
    EXPECT_EQ(image->bitsPerPixel, 32);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({0, 10, 20, 30, 0, 40, 50, 60}));
}

TEST_F(ImageRecordTest, EightBitWithoutPaletteIsGreyAndIndicesBeyondThePaletteAreBlack)
{
    ImagePtr grey = makeImage(2, 1, 8, 0, {0x11, 0xEE});
    ASSERT_EQ(imageTo32Bit(grey.get()), 1);
    EXPECT_EQ(pixelsOf(grey.get()), Bytes({0, 0x11, 0x11, 0x11, 0, 0xEE, 0xEE, 0xEE}));

    ImagePtr shortPalette = makeImage(2, 1, 8, 1, {0, 200});
    shortPalette->palette[0] = 5;
    ASSERT_EQ(imageTo32Bit(shortPalette.get()), 1);
    EXPECT_EQ(pixelsOf(shortPalette.get()), Bytes({0, 5, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ImageRecordTest, SixteenAndTwentyFourBitConversions)
{
    ImagePtr sixteen = makeImage(2, 1, 16, 0, {0xF8, 0x1F, 0x07, 0xE0});
    ASSERT_EQ(imageTo32Bit(sixteen.get()), 1);
    EXPECT_EQ(pixelsOf(sixteen.get()), Bytes({0, 0xF8, 0x00, 0xF8, 0, 0x00, 0xFC, 0x00}));

    ImagePtr rgb = makeImage(1, 1, 24, 0, {1, 2, 3});
    ASSERT_EQ(imageTo32Bit(rgb.get()), 1);
    EXPECT_EQ(pixelsOf(rgb.get()), Bytes({1, 2, 3, 255}));

    ImagePtr rgba = makeImage(1, 1, 32, 0, {1, 2, 3, 4});
    ASSERT_EQ(imageTo32Bit(rgba.get()), 1);
    EXPECT_EQ(pixelsOf(rgba.get()), Bytes({1, 2, 3, 4}));
}

TEST_F(ImageRecordTest, UnsupportedDepthLeavesAZeroedImage)
{
    ImagePtr image = makeImage(2, 2, 15, 0, Bytes(8, 0xAB));
    EXPECT_EQ(imageTo32Bit(image.get()), 0);
    EXPECT_TRUE(imageErrorsContain("32bit Convert: Unsupported bitdepth"));
    EXPECT_EQ(image->bitsPerPixel, 32);
    EXPECT_EQ(pixelsOf(image.get()), Bytes(16, 0));
}

TEST_F(ImageRecordTest, ScalingThreeToFourTakesColumnsZeroZeroOneTwo)
{
    ImagePtr image = makeImage(3, 3, 8, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    ASSERT_EQ(imageScale(4, 4, image.get()), 1);
    EXPECT_EQ(image->width, 4);
    EXPECT_EQ(image->height, 4);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({1, 1, 2, 3, 1, 1, 2, 3, 4, 4, 5, 6, 7, 7, 8, 9}));
}

TEST_F(ImageRecordTest, ScalingKeepsPaletteAndWholePixels)
{
    ImagePtr image = makeImage(2, 1, 24, 3, {1, 2, 3, 4, 5, 6});
    image->palette[8] = 42;
    ASSERT_EQ(imageScale(1, 2, image.get()), 1);
    EXPECT_EQ(pixelsOf(image.get()), Bytes({1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(image->paletteEntries, 3);
    EXPECT_EQ(image->palette[8], 42);

    // Odd factors never step past the last source pixel.
    ImagePtr wide = makeImage(7, 1, 8, 0, {0, 1, 2, 3, 4, 5, 6});
    ASSERT_EQ(imageScale(1000, 3, wide.get()), 1);
    EXPECT_EQ(wide->pixels[999], 6);
    EXPECT_EQ(wide->pixels[2 * 1000], 0);
}

TEST_F(ImageRecordTest, ScalingAnEmptyImageGivesZeroedPixels)
{
    ImagePtr image(imageCreate(0, 0, 32, 0));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(imageScale(4, 2, image.get()), 1);
    EXPECT_EQ(pixelsOf(image.get()), Bytes(32, 0));
}

}  // namespace
