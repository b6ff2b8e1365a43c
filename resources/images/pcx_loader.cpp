#include "resources/datafile.h"
#include "resources/images/loaders.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr long paletteBlock = 769;  // the marker byte 12 and 256 x 3 bytes

struct PcxHeader {
    int width = 0;
    int height = 0;
    unsigned bitsPerPlane = 0;
    unsigned planes = 0;
    unsigned bytesPerLine = 0;
};

unsigned read16(const uint8_t* bytes) { return bytes[0] | (bytes[1] << 8); }

bool readHeader(DataFile* file, PcxHeader& header)
{
    uint8_t bytes[128];
    if (dataRead(bytes, 1, sizeof bytes, file) != sizeof bytes) {
        imagePushError("PCX: Cannot read header");
        return false;
    }
    if (bytes[0] != 10) {
        imagePushError("PCX: Only ZSoft images supported");
        return false;
    }
    if (bytes[2] != 1) {
        imagePushError("PCX: Only rle compressed images supported");
        return false;
    }
    header.width = static_cast<int>(read16(bytes + 8)) - static_cast<int>(read16(bytes + 4)) + 1;
    header.height = static_cast<int>(read16(bytes + 10)) - static_cast<int>(read16(bytes + 6)) + 1;
    header.bitsPerPlane = bytes[3];
    header.planes = bytes[65];
    header.bytesPerLine = read16(bytes + 66);
    // A window whose end lies before its start has no pixels to give.
    if (header.width <= 0 || header.height <= 0) {
        imagePushError("PCX: Cannot read header");
        return false;
    }
    imageLog("PCX: Image is %ibit...\n", header.planes * header.bitsPerPlane);
    return true;
}

// Run-length decoding into size bytes. Runs are clipped at the end of the
// buffer; data that end early end the decoding, leaving the rest zero.
void decodeRuns(DataFile* file, uint8_t* out, size_t size)
{
    size_t produced = 0;
    while (produced < size) {
        const int byte = dataGetByteOrEnd(file);
        if (byte < 0)
            return;
        if ((byte & 0xC0) != 0xC0) {
            out[produced++] = static_cast<uint8_t>(byte);
            continue;
        }
        const int value = dataGetByteOrEnd(file);
        if (value < 0)
            return;
        size_t count = static_cast<size_t>(byte & 0x3F);
        if (count > size - produced)
            count = size - produced;
        std::memset(out + produced, value, count);
        produced += count;
    }
}

// Interleaves each line's planes into pixels. Pixels a line does not cover
// (bytes per line below the width) stay zero rather than borrow from the
// next plane or line.
void interleave(const uint8_t* data, const PcxHeader& header, Image* image)
{
    const size_t pixelBytes = imageBytesPerPixel(image->bitsPerPixel);
    const size_t lineBytes = size_t{header.bytesPerLine} * header.planes;
    const size_t planes = header.planes < pixelBytes ? header.planes : pixelBytes;
    const size_t covered = header.bytesPerLine < image->width ? header.bytesPerLine : image->width;
    for (size_t y = 0; y < image->height; ++y) {
        const uint8_t* line = data + y * lineBytes;
        uint8_t* row = image->pixels + y * image->width * pixelBytes;
        for (size_t x = 0; x < covered; ++x) {
            for (size_t p = 0; p < planes; ++p)
                row[x * pixelBytes + p] = line[p * header.bytesPerLine + x];
        }
    }
}

// The 256-colour palette when the file ends with one. A file too short to
// hold the block has none; the seek must not wrap round to its start.
bool readPalette(DataFile* file, uint8_t* palette, bool& present)
{
    present = false;
    if (file->size < paletteBlock)
        return true;
    dataSeek(file, -paletteBlock, 2);
    const int marker = dataGetByteOrEnd(file);
    if (marker < 0) {
        imagePushError("PCX: Cannot read palette-present-byte");
        return false;
    }
    if (marker != 12)
        return true;
    imageLog("PCX: Palette found in image\n");
    if (dataRead(palette, 3, 256, file) != 256) {
        imagePushError("PCX: Cannot read palette");
        return false;
    }
    present = true;
    return true;
}

Image* decodeBody(DataFile* file, const PcxHeader& header)
{
    const unsigned bits = header.planes * header.bitsPerPlane;
    const size_t lineBytes = size_t{header.bytesPerLine} * header.planes;
    if (!imageSizeAllowed(lineBytes, static_cast<unsigned>(header.height), 1)) {
        imagePushError("PCX: Not enough memory for data");
        return nullptr;
    }
    const size_t size = lineBytes * static_cast<size_t>(header.height);
    auto* data = static_cast<uint8_t*>(std::calloc(size > 0 ? size : 1, 1));
    if (data == nullptr) {
        imagePushError("PCX: Not enough memory for data");
        return nullptr;
    }
    decodeRuns(file, data, size);
    uint8_t palette[256 * 3];
    bool hasPalette = false;
    Image* image = nullptr;
    if (readPalette(file, palette, hasPalette)) {
        image = imageCreate(static_cast<unsigned>(header.width), static_cast<unsigned>(header.height), bits,
                            hasPalette ? 256 : 0);
        if (image == nullptr) {
            imagePushError("PCX: Not enough memory for zmgimage");
        } else {
            interleave(data, header, image);
            if (hasPalette)
                std::memcpy(image->palette, palette, sizeof palette);
        }
    }
    std::free(data);
    return image;
}

}  // namespace

Image* loadPcx(const char* path)
{
    imageLog("PCX: Loading file \"%s\"...\n", path);
    DataFile* file = dataOpen(path);
    if (file == nullptr) {
        imagePushError("PCX: File not found");
        return nullptr;
    }
    PcxHeader header;
    Image* image = readHeader(file, header) ? decodeBody(file, header) : nullptr;
    dataClose(file);
    return image;
}
