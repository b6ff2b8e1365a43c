#pragma once
// Writes pictures as PNG files.
#include <cstdint>
#include <string>
#include <vector>

// How hard to compress: small files for data that ships, fast for frames
// that are written by the thousand.
enum class PngCompression { small, fast };

// Writes width x height pixels of `channels` bytes each (3: RGB, 4: RGBA),
// top row first, to path. False (with a line on standard error) when the
// file cannot be written or the sizes do not match.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels, int channels = 3,
              PngCompression compression = PngCompression::small);
