#pragma once
// CRC-32 with the reflected polynomial 0xEDB88320, as RAR uses it for file
// contents, header checks and the cipher's key schedule.
#include <cstddef>
#include <cstdint>

// The 256-entry lookup table (entry i is the CRC register after one byte i).
const uint32_t* crc32Table();

// Continues a running register (start with 0xFFFFFFFF) over size bytes.
uint32_t crc32Update(uint32_t crc, const uint8_t* data, size_t size);

// The finished CRC-32 of a block: register started at 0xFFFFFFFF, result
// complemented.
uint32_t crc32(const uint8_t* data, size_t size);
