#pragma once
// Helpers shared by the picture tests: a scratch folder per test, byte
// builders, and the independent reference (stb_image) to compare against.
#include <gtest/gtest.h>

#include "resources/images/image.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct ImageDeleter {
    void operator()(Image* image) const { imageFree(image); }
};
using ImagePtr = std::unique_ptr<Image, ImageDeleter>;

// A folder of the test's own (see TempDir), removed with the object; files
// written into it are read back as loose data files.
class ScratchDir {
public:
    std::string path(const std::string& name) const;
    // Writes bytes to name and returns the full path.
    std::string write(const std::string& name, const Bytes& bytes) const;

private:
    TempDir dir_;
};

// Little-endian appenders for building files byte by byte.
void put8(Bytes& out, unsigned value);
void put16(Bytes& out, unsigned value);
void put32(Bytes& out, uint32_t value);
void putText(Bytes& out, const char* text);

Bytes readWholeFile(const std::string& path);

// The image's pixel block as a vector (empty for a null image).
Bytes pixelsOf(const Image* image);

// Decodes path with stb_image; components 0 keeps the file's own count.
struct Reference {
    int width = 0;
    int height = 0;
    int components = 0;
    Bytes pixels;
};
Reference referenceDecode(const std::string& path, int components = 0);

// Writers of the independent encoder (stb_image_write).
bool referenceWritePng(const std::string& path, int width, int height, int components, const Bytes& pixels);
bool referenceWriteTga(const std::string& path, int width, int height, int components, const Bytes& pixels,
                       bool runLength);
bool referenceWriteJpg(const std::string& path, int width, int height, int components, const Bytes& pixels,
                       int quality);

// A deterministic picture with smooth areas and edges.
Bytes testPattern(int width, int height, int components);

// Whether the most recent pushes onto imageErrors include message.
bool imageErrorsContain(const char* message);

// A committed fixture under tests/images/fixtures.
std::string fixturePath(const std::string& name);

// Runs loader on truncated copies of whole (every length up to 64, then a
// few hundred spread over the rest), on copies with bytes flipped at a
// stride and on a fixed series of randomly damaged copies, and counts the
// copies that gave an image. Meant to run under AddressSanitizer: nothing
// may read outside the data.
struct DamageCounts {
    int truncatedLoaded = 0;
    int damagedLoaded = 0;
};
DamageCounts loadDamagedCopies(const Bytes& whole, Image* (*loader)(const char*), const ScratchDir& dir,
                      const std::string& extension);

// Indices looked up in an R, G, B palette: what a reference decoder that
// expands palettes gives.
Bytes expandPalette(const Image* image);
