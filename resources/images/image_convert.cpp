#include "resources/images/image.h"

#include <cmath>
#include <cstring>

namespace {

void expand8(const Image& source, uint8_t* out)
{
    imageLog("32bit Convert: Converting image 8bit -> 32bit\n");
    const size_t count = size_t{source.width} * source.height;
    for (size_t i = 0; i < count; ++i, out += 4) {
        const unsigned index = source.pixels[i];
        out[0] = 0;
        if (source.paletteEntries == 0 || source.palette == nullptr) {
            // Grey pictures carry no palette: the value stands for itself.
            out[1] = out[2] = out[3] = static_cast<uint8_t>(index);
        } else if (index < source.paletteEntries) {
            std::memcpy(out + 1, source.palette + index * 3, 3);
        } else {
            out[1] = out[2] = out[3] = 0;
        }
    }
}

void expand16(const Image& source, uint8_t* out)
{
    imageLog("32bit Convert: Converting image 16bit -> 32bit\n");
    const size_t count = size_t{source.width} * source.height;
    const uint8_t* in = source.pixels;
    for (size_t i = 0; i < count; ++i, in += 2, out += 4) {
        const unsigned v = (unsigned{in[0]} << 8) | in[1];
        out[0] = 0;
        out[1] = static_cast<uint8_t>(((v >> 11) & 0x1F) << 3);
        out[2] = static_cast<uint8_t>(((v >> 5) & 0x3F) << 2);
        out[3] = static_cast<uint8_t>((v & 0x1F) << 3);
    }
}

void expand24(const Image& source, uint8_t* out)
{
    imageLog("32bit Convert: Converting image 24bit -> 32bit\n");
    const size_t count = size_t{source.width} * source.height;
    const uint8_t* in = source.pixels;
    for (size_t i = 0; i < count; ++i, in += 3, out += 4) {
        std::memcpy(out, in, 3);
        out[3] = 255;
    }
}

}  // namespace

int imageTo32Bit(Image* image)
{
    Image* source = imageDuplicate(image);
    if (source == nullptr) {
        imagePushError("32bit Convert: Could not duplicate zmgimage");
        return 0;
    }
    if (imageReshape(source->width, source->height, 32, source->paletteEntries, image) == 0) {
        imagePushError("32bit Convert: Could not change image attributes");
        imageFree(source);
        return 0;
    }
    int result = 1;
    switch (source->bitsPerPixel) {
    case 8: expand8(*source, image->pixels); break;
    case 16: expand16(*source, image->pixels); break;
    case 24: expand24(*source, image->pixels); break;
    case 32:
        imageLog("32bit Convert: Converting image 32bit -> 32bit\n");
        std::memcpy(image->pixels, source->pixels, size_t{source->width} * source->height * 4);
        break;
    default:
        imagePushError("32bit Convert: Unsupported bitdepth");
        result = 0;
        break;
    }
    imageFree(source);
    return result;
}

int imageScale(unsigned newWidth, unsigned newHeight, Image* image)
{
    Image* source = imageDuplicate(image);
    if (source == nullptr) {
        imagePushError("Scale Size: Could not duplicate zmgimage");
        return 0;
    }
    if (imageReshape(newWidth, newHeight, source->bitsPerPixel, source->paletteEntries, image) == 0) {
        imagePushError("Scale Size: Could not change image attributes");
        imageFree(source);
        return 0;
    }
    if (source->paletteEntries != 0)
        std::memcpy(image->palette, source->palette, size_t{source->paletteEntries} * 3);

    // Source pixels per new pixel, for the sampling below.
    const float fx = static_cast<float>(source->width) / static_cast<float>(newWidth);
    const float fy = static_cast<float>(source->height) / static_cast<float>(newHeight);
    // The log gives what each side is multiplied by (below 1 shrinks; 0
    // for an empty source).
    imageLog("Scale Size: Scaling %ix%i -> %ix%i (factor %4.2fx%4.2f)\n", source->width, source->height, newWidth,
             newHeight, fx > 0.0f ? 1.0f / fx : 0.0f, fy > 0.0f ? 1.0f / fy : 0.0f);

    const size_t bytes = imageBytesPerPixel(source->bitsPerPixel);
    uint8_t* out = image->pixels;
    // An empty source has nothing to sample: the target stays zeroed.
    const unsigned rows = source->width != 0 && source->height != 0 ? newHeight : 0;
    for (unsigned j = 0; j < rows; ++j) {
        // Rounding in single precision must never step onto the row or
        // column past the last one.
        unsigned row = static_cast<unsigned>(std::floor(fy * static_cast<float>(j)));
        if (row >= source->height)
            row = source->height - 1u;
        const uint8_t* sourceRow = source->pixels + size_t{row} * source->width * bytes;
        for (unsigned k = 0; k < newWidth; ++k, out += bytes) {
            unsigned column = static_cast<unsigned>(std::floor(fx * static_cast<float>(k)));
            if (column >= source->width)
                column = source->width - 1u;
            std::memcpy(out, sourceRow + size_t{column} * bytes, bytes);
        }
    }
    imageFree(source);
    return 1;
}
