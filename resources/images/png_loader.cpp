#include "resources/datafile.h"
#include "resources/images/loaders.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace {

void readFromDataFile(png_structp png, png_bytep out, png_size_t length)
{
    auto* file = static_cast<DataFile*>(png_get_io_ptr(png));
    // A short read would leave libpng decoding bytes that were never there.
    if (dataRead(out, 1, length, file) != length)
        png_error(png, "read past the end of the file");
}

// Brings every colour type to one byte per channel; the common shapes
// (8-bit grey, RGB, RGBA) are left exactly as stored.
void requestByteChannels(png_structp png, int bitDepth, int colourType)
{
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (bitDepth < 8) {
        if (colourType == PNG_COLOR_TYPE_PALETTE)
            png_set_packing(png);
        else
            png_set_expand_gray_1_2_4_to_8(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
}

void attachPalette(png_structp png, png_infop info, Image* image)
{
    png_colorp colours = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &colours, &count) == 0 || count <= 0 || count > 256)
        return;
    auto* palette = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(count), 3));
    if (palette == nullptr)
        return;
    for (int i = 0; i < count; ++i) {
        palette[i * 3] = colours[i].red;
        palette[i * 3 + 1] = colours[i].green;
        palette[i * 3 + 2] = colours[i].blue;
    }
    std::free(image->palette);
    image->palette = palette;
    image->paletteEntries = static_cast<uint16_t>(count);
}

}  // namespace

Image* loadPng(const char* path)
{
    DataFile* file = dataOpen(path);
    if (file == nullptr)
        return nullptr;
    png_byte signature[8];
    if (dataRead(signature, 1, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        dataClose(file);
        return nullptr;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(png != nullptr ? &png : nullptr, nullptr, nullptr);
        dataClose(file);
        return nullptr;
    }
    // Written after setjmp and needed after the jump back.
    Image* volatile image = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(rows);
        imageFree(image);
        dataClose(file);
        return nullptr;
    }
    png_set_read_fn(png, file, readFromDataFile);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    requestByteChannels(png, bitDepth, colourType);
    png_read_update_info(png, info);
    const png_size_t rowBytes = png_get_rowbytes(png, info);
    const unsigned channels = png_get_channels(png, info);
    if (!imageSizeAllowed(width, height, channels) || rowBytes != size_t{width} * channels)
        png_error(png, "picture too large");

    image = imageCreate(width, height, channels * 8, 0);
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * (height > 0 ? height : 1)));
    if (image == nullptr || rows == nullptr)
        png_error(png, "out of memory");
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = image->pixels + size_t{y} * rowBytes;
    png_read_image(png, rows);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        attachPalette(png, info, image);

    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    dataClose(file);
    return image;
}
