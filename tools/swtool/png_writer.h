#pragma once
// Writes pictures as PNG files.
#include <cstdint>
#include <string>
#include <vector>

// Writes width x height RGB pixels (3 bytes each), top row first, to path.
// False (with a line on standard error) when the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
