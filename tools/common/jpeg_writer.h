#pragma once
// Writes pictures as baseline JPEG files through libjpeg's compressor.
#include <cstdint>
#include <string>
#include <vector>

// Writes width x height RGB pixels, top row first, at the given quality
// (1..100). False (with a line on standard error) when the file cannot be
// written or the sizes do not match.
bool writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb, int quality);
