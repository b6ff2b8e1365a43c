// Feeds arbitrary bytes to one picture decoder, chosen at build time by
// SW_FUZZ_IMAGE_KIND (gif, pcx, tga, png or jpg), then does to whatever
// decodes what the texture manager does: conversion to 32 bits and scaling
// to a power-of-two size.
#include <cstddef>
#include <cstdint>
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
