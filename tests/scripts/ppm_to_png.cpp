// Turns a plain-text PPM picture (P3, maximum 255) into a PNG through the
// tools' own PNG writer, so that script tests can make frames of known
// pixels with nothing but printf:
//   ppm_to_png IN.ppm OUT.png [rgba]
// With "rgba" the PNG gets an alpha channel of 128 on every pixel.
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/common/png_writer.h"

namespace {

// Reads the header and width x height x 3 values; false on anything else.
bool readPpm(const char* path, int& width, int& height, std::vector<uint8_t>& rgb)
{
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return false;
    int maximum = 0;
    bool ok = std::fscanf(file, " P3 %d %d %d", &width, &height, &maximum) == 3 && width > 0 && height > 0 &&
              maximum == 255;
    const size_t values = ok ? size_t(width) * size_t(height) * 3 : 0;
    for (size_t i = 0; ok && i < values; ++i) {
        int value = -1;
        ok = std::fscanf(file, "%d", &value) == 1 && value >= 0 && value <= 255;
        rgb.push_back(uint8_t(value));
    }
    std::fclose(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool rgba = argc == 4 && std::strcmp(argv[3], "rgba") == 0;
    if (argc != 3 && !rgba) {
        std::fprintf(stderr, "usage: ppm_to_png IN.ppm OUT.png [rgba]\n");
        return 1;
    }
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    if (!readPpm(argv[1], width, height, rgb)) {
        std::fprintf(stderr, "ppm_to_png: %s is not a plain PPM of maximum 255\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> pixels;
    for (size_t p = 0; p < rgb.size(); p += 3) {
        pixels.insert(pixels.end(), rgb.begin() + long(p), rgb.begin() + long(p) + 3);
        if (rgba)
            pixels.push_back(128);
    }
    return writePng(argv[2], width, height, pixels, rgba ? 4 : 3) ? 0 : 1;
}
