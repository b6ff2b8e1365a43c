// swtool image FILE [--to32] [--scale WxH] [--raw OUT]: one picture through
// the image cache, optionally converted and rescaled; prints its shape and
// writes its pixel bytes exactly as the image holds them.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/images/image_cache.h"
#include "tools/swtool/commands.h"

namespace {

constexpr const char* usage = "usage: swtool image FILE [--to32] [--scale WxH] [--raw OUT]\n";

// "WxH" with both sizes from 1 to 65535.
bool parseSize(const char* text, unsigned& width, unsigned& height)
{
    char* end = nullptr;
    const unsigned long w = std::strtoul(text, &end, 10);
    if (end == text || *end != 'x')
        return false;
    const char* rest = end + 1;
    const unsigned long h = std::strtoul(rest, &end, 10);
    if (end == rest || *end != '\0' || w == 0 || h == 0 || w > 0xFFFF || h > 0xFFFF)
        return false;
    width = static_cast<unsigned>(w);
    height = static_cast<unsigned>(h);
    return true;
}

bool writeRaw(const char* path, const Image& image)
{
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr)
        return false;
    const size_t size = size_t{image.width} * image.height * imageBytesPerPixel(image.bitsPerPixel);
    bool ok = size == 0 || std::fwrite(image.pixels, 1, size, out) == size;
    ok = std::fclose(out) == 0 && ok;
    return ok;
}

}  // namespace

int runImage(int argc, char** argv)
{
    const char* file = nullptr;
    const char* rawPath = nullptr;
    bool to32 = false;
    bool scale = false;
    unsigned width = 0;
    unsigned height = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--to32") == 0) {
            to32 = true;
        } else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            scale = true;
            if (!parseSize(argv[++i], width, height)) {
                std::fprintf(stderr, "swtool image: bad size \"%s\" (want WxH)\n", argv[i]);
                return 1;
            }
        } else if (std::strcmp(argv[i], "--raw") == 0 && i + 1 < argc) {
            rawPath = argv[++i];
        } else if (file == nullptr && argv[i][0] != '-') {
            file = argv[i];
        } else {
            std::fprintf(stderr, "%s", usage);
            return 1;
        }
    }
    if (file == nullptr) {
        std::fprintf(stderr, "%s", usage);
        return 1;
    }
    // Standard output carries only the result line.
    imageOutput = stderr;
    ImageCache cache;
    Image* image = cache.loadImage(file);
    if (image == nullptr) {
        std::fprintf(stderr, "swtool image: cannot load %s\n", file);
        return 1;
    }
    if (to32 && imageTo32Bit(image) == 0) {
        std::fprintf(stderr, "swtool image: cannot convert %s to 32 bits\n", file);
        return 1;
    }
    if (scale && imageScale(width, height, image) == 0) {
        std::fprintf(stderr, "swtool image: cannot scale %s\n", file);
        return 1;
    }
    std::printf("%u %u %u %u\n", image->width, image->height, image->bitsPerPixel, image->paletteEntries);
    if (rawPath != nullptr && !writeRaw(rawPath, *image)) {
        std::fprintf(stderr, "swtool image: cannot write %s\n", rawPath);
        return 1;
    }
    return 0;
}
