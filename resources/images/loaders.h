#pragma once
// The picture decoders. Each reads the named file whole through the data
// file interface (so from the archive when one is set), returns a new Image
// that the caller frees with imageFree, or null after pushing its failure
// message onto imageErrors. None of them ends the process, and none reads
// outside the file's data on damaged input.
#include "resources/images/image.h"

// PNG through libpng: 8-bit grey, RGB and RGBA pictures come out as stored
// (8, 24, 32 bits: G / R, G, B / R, G, B, A). Pictures libpng would hand
// over in other shapes are brought to one byte per channel: 16-bit channels
// are cut to 8, grey below 8 bits is widened to 8, grey with alpha becomes
// R, G, B, A, and palette pictures give one index byte per pixel with the
// PNG's palette attached. A bad signature or any libpng error gives null
// without a message.
Image* loadPng(const char* path);

// JPEG through libjpeg: colour gives 24-bit R, G, B; grey gives 8 bits with
// a 256-entry grey palette. Damaged data: "JPG: Unsupported file format".
Image* loadJpg(const char* path);

// GIF 87a/89a: the first image, 8-bit indices with the global palette.
Image* loadGif(const char* path);

// ZSoft PCX, run-length encoded: one plane gives 8-bit indices (with the
// 256-colour palette when the file ends with one), three planes 24-bit
// R, G, B.
Image* loadPcx(const char* path);

// Truevision TGA of types 1, 2, 3, 9, 10 and 11, top row first: indexed
// pictures give 8-bit indices with an R, G, B palette, grey 8 bits, 16-bit
// pixels the repacked 5-6-5 value high byte first, 24 bits R, G, B and 32
// bits A, R, G, B.
Image* loadTga(const char* path);
