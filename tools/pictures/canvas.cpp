#include "tools/pictures/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>

#include "tools/common/png_writer.h"

namespace {

uint8_t toByte(float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

float mix(float a, float b, float t) { return a + (b - a) * t; }

float smoothstep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

bool Canvas::writePng(const std::string& path, bool withAlpha) const
{
    const int channels = withAlpha ? 4 : 3;
    std::vector<uint8_t> bytes;
    bytes.reserve(pixels_.size() * static_cast<size_t>(channels));
    for (const Pixel& p : pixels_) {
        bytes.insert(bytes.end(), {toByte(p.r), toByte(p.g), toByte(p.b)});
        if (withAlpha)
            bytes.push_back(toByte(p.a));
    }
    if (!::writePng(path, width_, height_, bytes, channels)) {
        std::fprintf(stderr, "pictures: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool Canvas::writeTga(const std::string& path) const
{
    std::string bytes(18, '\0');
    bytes[2] = 2;  // uncompressed true colour
    bytes[12] = static_cast<char>(width_ & 0xFF);
    bytes[13] = static_cast<char>(width_ >> 8);
    bytes[14] = static_cast<char>(height_ & 0xFF);
    bytes[15] = static_cast<char>(height_ >> 8);
    bytes[16] = 24;
    bytes[17] = 0;  // bottom row first, no alpha
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const Pixel& p = at(x, y);
            bytes += {static_cast<char>(toByte(p.b)), static_cast<char>(toByte(p.g)), static_cast<char>(toByte(p.r))};
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "pictures: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
