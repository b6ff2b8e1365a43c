#include "tests/images/image_test_support.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

std::string ScratchDir::path(const std::string& name) const { return (dir_.path() / name).string(); }

std::string ScratchDir::write(const std::string& name, const Bytes& bytes) const
{
    const std::string full = path(name);
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return full;
}

void put8(Bytes& out, unsigned value) { out.push_back(static_cast<uint8_t>(value)); }

void put16(Bytes& out, unsigned value)
{
    put8(out, value & 0xFF);
    put8(out, (value >> 8) & 0xFF);
}

void put32(Bytes& out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putText(Bytes& out, const char* text) { out.insert(out.end(), text, text + std::strlen(text)); }

Bytes readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes pixelsOf(const Image* image)
{
    if (image == nullptr || image->pixels == nullptr)
        return {};
    const size_t size = size_t{image->width} * image->height * imageBytesPerPixel(image->bitsPerPixel);
    return Bytes(image->pixels, image->pixels + size);
}

Reference referenceDecode(const std::string& path, int components)
{
    Reference result;
    stbi_uc* data = stbi_load(path.c_str(), &result.width, &result.height, &result.components, components);
    if (data == nullptr)
        return Reference{};
    if (components != 0)
        result.components = components;
    result.pixels.assign(data, data + size_t(result.width) * result.height * result.components);
    stbi_image_free(data);
    return result;
}

bool referenceWritePng(const std::string& path, int width, int height, int components, const Bytes& pixels)
{
    return stbi_write_png(path.c_str(), width, height, components, pixels.data(), width * components) != 0;
}

bool referenceWriteTga(const std::string& path, int width, int height, int components, const Bytes& pixels,
                       bool runLength)
{
    stbi_write_tga_with_rle = runLength ? 1 : 0;
    return stbi_write_tga(path.c_str(), width, height, components, pixels.data()) != 0;
}

bool referenceWriteJpg(const std::string& path, int width, int height, int components, const Bytes& pixels,
                       int quality)
{
    return stbi_write_jpg(path.c_str(), width, height, components, pixels.data(), quality) != 0;
}

Bytes testPattern(int width, int height, int components)
{
    Bytes out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                const int smooth = (x * 255 / (width > 1 ? width - 1 : 1) + c * 60) & 0xFF;
                const int edge = ((x / 4 + y / 4) % 2) * 90;
                put8(out, static_cast<unsigned>((smooth + edge + y * 3 * (c + 1)) & 0xFF));
            }
        }
    }
    return out;
}

bool imageErrorsContain(const char* message)
{
    for (int i = 0; i < imageErrors.count; ++i) {
        if (std::strcmp(imageErrors.messages[i], message) == 0)
            return true;
    }
    return false;
}

std::string fixturePath(const std::string& name) { return std::string(SW_SOURCE_DIR) + "/tests/images/fixtures/" + name; }

DamageCounts loadDamagedCopies(const Bytes& whole, Image* (*loader)(const char*), const ScratchDir& dir,
                      const std::string& extension)
{
    const bool verbose = imageVerbose;
    imageVerbose = false;
    DamageCounts counts;
    auto tryBytes = [&](const Bytes& bytes, int& loaded) {
        Image* image = loader(dir.write("damaged." + extension, bytes).c_str());
        loaded += image != nullptr ? 1 : 0;
        imageFree(image);
    };
    // Every cut inside the headers, then a few hundred spread over the rest.
    const size_t stride = whole.size() > 400 ? whole.size() / 300 : 1;
    for (size_t length = 0; length < whole.size(); length += length < 64 ? 1 : stride)
        tryBytes(Bytes(whole.begin(), whole.begin() + static_cast<long>(length)), counts.truncatedLoaded);
    for (size_t start = 0; start < 17; ++start) {
        Bytes flipped = whole;
        for (size_t i = start; i < flipped.size(); i += 17)
            flipped[i] = static_cast<uint8_t>(flipped[i] ^ (0x35 + start * 11));
        tryBytes(flipped, counts.damagedLoaded);
    }
    // And a fixed series of random damage: a few bytes anywhere.
    std::mt19937 random(12345);
    for (int copy = 0; copy < 150 && !whole.empty(); ++copy) {
        Bytes damaged = whole;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i)
            damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
        tryBytes(damaged, counts.damagedLoaded);
    }
    imageVerbose = verbose;
    return counts;
}

Bytes expandPalette(const Image* image)
{
    Bytes out;
    for (const uint8_t index : pixelsOf(image)) {
        for (int c = 0; c < 3; ++c)
            out.push_back(index < image->paletteEntries ? image->palette[index * 3 + c] : 0);
    }
    return out;
}
