// Feeds arbitrary bytes to one picture decoder, chosen at build time by
// SW_FUZZ_IMAGE_KIND (gif, pcx, tga, png or jpg), then does to whatever
// decodes what the texture manager does: conversion to 32 bits and scaling
// to a power-of-two size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "resources/images/image.h"
#include "resources/images/loaders.h"

namespace {

Image* decode(const char* path)
{
    const std::string kind = SW_FUZZ_IMAGE_KIND;
    if (kind == "gif")
        return loadGif(path);
    if (kind == "pcx")
        return loadPcx(path);
    if (kind == "tga")
        return loadTga(path);
    if (kind == "png")
        return loadPng(path);
    return loadJpg(path);
}

// A TGA file declares its size in its header and the decoder allocates and
// clears the whole picture before its data can run out: a 31-byte input
// declaring 4097 x 4097 pixels costs seconds under the sanitizers. Such
// inputs are passed over here (not in the decoder, which refuses them by
// itself), so that the fuzzer spends its time on the decoder's logic;
// SW_FUZZ_FULL_SIZE=1 lets them through, for the replayed test of a large
// declared size.
bool declaresTooLargeAPicture(const uint8_t* data, size_t size)
{
    constexpr unsigned largestSide = 1024;
    constexpr uint64_t mostPixels = 16u << 20;
    static const bool fullSize = std::getenv("SW_FUZZ_FULL_SIZE") != nullptr;
    if (fullSize || std::string(SW_FUZZ_IMAGE_KIND) != "tga" || size < 16)
        return false;
    const unsigned width = data[12] | data[13] << 8;
    const unsigned height = data[14] | data[15] << 8;
    return width > largestSide || height > largestSide || uint64_t{width} * height > mostPixels;
}

unsigned powerOfTwoAtLeast(unsigned n)
{
    unsigned p = 1;
    while (p < n && p < 4096)
        p *= 2;
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    imageVerbose = false;
    if (declaresTooLargeAPicture(data, size))
        return 0;
    const std::string path = writeFuzzInput(data, size, std::string("input.") + SW_FUZZ_IMAGE_KIND);
    if (path.empty())
        return 0;
    Image* image = decode(path.c_str());
    imageErrors.count = 0;
    if (image == nullptr)
        return 0;
    // Keep the scaled picture small: the fuzzer is after the decoders and
    // the conversions' bounds, not after big allocations.
    if (image->width <= 1024 && image->height <= 1024 && imageTo32Bit(image))
        imageScale(powerOfTwoAtLeast(image->width) / 2 + 1, powerOfTwoAtLeast(image->height) / 2 + 1, image);
    imageFree(image);
    return 0;
}
