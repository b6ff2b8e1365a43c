#pragma once
// Reader of the data archive: a RAR 2.x subset (single volume, normal or
// solid, stored or compressed members, optionally enciphered with the RAR 2.0
// cipher). Each call opens the archive, scans it from the start and closes it.
#include <cstdint>

// Extracts the member called memberName (case and "\"/"/" insensitive) whole.
// Returns 1 with outData a new block of outSize bytes (released with
// delete[] by the owner), or 0 with outData null and outSize 0 when the
// archive or member is missing, damaged, or fails its CRC check.
int extractFile(uint8_t** outData, uint32_t* outSize, const char* memberName, const char* archivePath,
                const char* password);
