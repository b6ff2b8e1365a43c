#pragma once
// Decoded pictures in one plain record, the two transformations textures
// need (32 bits per pixel, nearest-neighbour rescaling), and the library's
// shared diagnostics: the verbose switch and the error list.
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct Image {
    uint16_t kind = 1;  // set by imageCreate; nothing reads it
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t bitsPerPixel = 0;
    uint16_t paletteEntries = 0;  // 0: no palette
    uint8_t* palette = nullptr;   // paletteEntries x (red, green, blue)
    // width x height x imageBytesPerPixel bytes, rows without padding, top
    // row first.
    uint8_t* pixels = nullptr;
};

// When on (the default), the decoders and conversions print progress lines
// on standard output.
extern bool imageVerbose;

// Failure messages of the library, newest last. A push into a full list
// empties it first. The messages are string literals and never freed.
struct ImageErrorList {
    static constexpr int capacity = 256;
    const char* messages[capacity] = {};
    int count = 0;
};
extern ImageErrorList imageErrors;

// Where the library and the image cache print: standard output, unless a
// tool that keeps standard output for its own results moves them.
extern std::FILE* imageOutput;

// Appends message to imageErrors.
void imagePushError(const char* message);
// Prints like printf to imageOutput.
void imagePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Prints like imagePrint when imageVerbose is on.
void imageLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Bytes of one pixel at the given depth.
inline size_t imageBytesPerPixel(unsigned bitsPerPixel) { return (bitsPerPixel + 7u) / 8u; }

// Largest pixel block the library allocates. Real pictures are a few MiB;
// a header that claims more is damaged or hostile, and refusing it keeps
// the products of its sizes from overflowing anywhere downstream.
constexpr uint64_t imageMaxBytes = uint64_t{256} << 20;

// True when width x height pixels of the given byte size stay within
// imageMaxBytes (and the sizes fit the record).
bool imageSizeAllowed(uint64_t width, uint64_t height, uint64_t bytesPerPixel);

// A new image with zeroed palette and pixels. Null after pushing
// "ZMG: Not enough memory for zmgimage", "...->palette" or "...->image"
// (also when the size is beyond imageMaxBytes).
Image* imageCreate(unsigned width, unsigned height, unsigned bitsPerPixel, unsigned paletteEntries);

// Frees palette, pixels and the record. A null image is ignored.
void imageFree(Image* image);

// A deep copy, or null with "ZMG: Not enough memory for zmgimage".
Image* imageDuplicate(const Image* image);

// Replaces the palette and pixels by zeroed ones of the new shape. Returns
// 1, or 0 with "ZMG: Not enough memory for zmgimage->palette" / "->image";
// on failure the image is left 0 x 0 without palette or pixels.
int imageReshape(unsigned width, unsigned height, unsigned bitsPerPixel, unsigned paletteEntries, Image* image);

// Converts in place to 32 bits per pixel: 8 bits become (0, R, G, B) from
// the palette (grey images without palette become (0, v, v, v); indices
// beyond the palette become black), 16 bits (5-6-5, high byte first)
// become (0, R, G, B), 24 bits gain a fourth byte 255, 32 bits stay. Any
// other depth leaves a zeroed 32-bit image and returns 0 with
// "32bit Convert: Unsupported bitdepth"; allocation failures return 0 too.
int imageTo32Bit(Image* image);

// Rescales in place to newWidth x newHeight, nearest neighbour, keeping
// depth and palette. Returns 1, or 0 after pushing the failure.
int imageScale(unsigned newWidth, unsigned newHeight, Image* image);
