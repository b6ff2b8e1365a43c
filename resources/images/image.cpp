#include "resources/images/image.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

bool imageVerbose = true;
ImageErrorList imageErrors;
std::FILE* imageOutput = stdout;

void imagePushError(const char* message)
{
    if (imageErrors.count >= ImageErrorList::capacity)
        imageErrors.count = 0;
    imageErrors.messages[imageErrors.count++] = message;
}

void imagePrint(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(imageOutput, format, args);
    va_end(args);
}

void imageLog(const char* format, ...)
{
    if (!imageVerbose)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(imageOutput, format, args);
    va_end(args);
}

bool imageSizeAllowed(uint64_t width, uint64_t height, uint64_t bytesPerPixel)
{
    if (width > 0xFFFF || height > 0xFFFF || bytesPerPixel > 0xFFFF)
        return false;
    return width * height * bytesPerPixel <= imageMaxBytes;
}

namespace {

// calloc(0) may give null; an empty block is still a valid allocation here.
uint8_t* zeroedBlock(size_t bytes) { return static_cast<uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1)); }

size_t pixelBytes(const Image* image)
{
    return size_t{image->width} * image->height * imageBytesPerPixel(image->bitsPerPixel);
}

// Allocates the zeroed palette and pixels for the shape already stored.
int allocateBlocks(Image* image)
{
    if (image->paletteEntries != 0) {
        image->palette = zeroedBlock(size_t{image->paletteEntries} * 3);
        if (image->palette == nullptr) {
            imagePushError("ZMG: Not enough memory for zmgimage->palette");
            return 0;
        }
    }
    if (!imageSizeAllowed(image->width, image->height, imageBytesPerPixel(image->bitsPerPixel)) ||
        (image->pixels = zeroedBlock(pixelBytes(image))) == nullptr) {
        imagePushError("ZMG: Not enough memory for zmgimage->image");
        return 0;
    }
    return 1;
}

void freeBlocks(Image* image)
{
    std::free(image->palette);
    std::free(image->pixels);
    image->palette = nullptr;
    image->pixels = nullptr;
}

bool storeShape(unsigned width, unsigned height, unsigned bitsPerPixel, unsigned paletteEntries, Image* image)
{
    if (width > 0xFFFF || height > 0xFFFF || bitsPerPixel > 0xFFFF || paletteEntries > 0xFFFF)
        return false;
    image->width = static_cast<uint16_t>(width);
    image->height = static_cast<uint16_t>(height);
    image->bitsPerPixel = static_cast<uint16_t>(bitsPerPixel);
    image->paletteEntries = static_cast<uint16_t>(paletteEntries);
    return true;
}

}  // namespace

Image* imageCreate(unsigned width, unsigned height, unsigned bitsPerPixel, unsigned paletteEntries)
{
    auto* image = new (std::nothrow) Image;
    if (image == nullptr) {
        imagePushError("ZMG: Not enough memory for zmgimage");
        return nullptr;
    }
    if (!storeShape(width, height, bitsPerPixel, paletteEntries, image)) {
        imagePushError("ZMG: Not enough memory for zmgimage->image");
        delete image;
        return nullptr;
    }
    if (allocateBlocks(image) == 0) {
        imageFree(image);
        return nullptr;
    }
    return image;
}

void imageFree(Image* image)
{
    if (image == nullptr)
        return;
    freeBlocks(image);
    delete image;
}

Image* imageDuplicate(const Image* image)
{
    Image* copy = imageCreate(image->width, image->height, image->bitsPerPixel, image->paletteEntries);
    if (copy == nullptr) {
        imagePushError("ZMG: Not enough memory for zmgimage");
        return nullptr;
    }
    if (image->paletteEntries != 0 && image->palette != nullptr)
        std::memcpy(copy->palette, image->palette, size_t{image->paletteEntries} * 3);
    if (image->pixels != nullptr)
        std::memcpy(copy->pixels, image->pixels, pixelBytes(image));
    return copy;
}

int imageReshape(unsigned width, unsigned height, unsigned bitsPerPixel, unsigned paletteEntries, Image* image)
{
    freeBlocks(image);
    if (!storeShape(width, height, bitsPerPixel, paletteEntries, image))
        imagePushError("ZMG: Not enough memory for zmgimage->image");
    else if (allocateBlocks(image) != 0)
        return 1;
    // A record without blocks must not claim any pixels, so that nothing
    // downstream reads through a null pointer.
    freeBlocks(image);
    image->width = 0;
    image->height = 0;
    image->paletteEntries = 0;
    return 0;
}
