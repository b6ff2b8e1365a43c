#include "resources/datafile.h"
#include "resources/images/loaders.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int tableSize = 4096;
constexpr int maxCodeWidth = 12;

// Codes of growing width, least significant bit first, from the data
// sub-blocks of one raster.
class CodeReader {
public:
    explicit CodeReader(DataFile* file) : file_(file) {}

    // True when no whole code of this width is buffered and the current
    // sub-block is used up: the next code needs a new sub-block.
    bool atBlockEnd(int width) const { return blockLeft_ == 0 && bitCount_ < width; }

    // The next code, or -1 when the terminating sub-block came first, or -2
    // when the file ended.
    int next(int width)
    {
        while (bitCount_ < width) {
            if (blockLeft_ == 0) {
                if (terminated_)
                    return -1;
                const int length = dataGetByteOrEnd(file_);
                if (length < 0)
                    return -2;
                if (length == 0) {
                    terminated_ = true;
                    return -1;
                }
                blockLeft_ = length;
            }
            const int byte = dataGetByteOrEnd(file_);
            if (byte < 0)
                return -2;
            --blockLeft_;
            bits_ |= static_cast<uint32_t>(byte) << bitCount_;
            bitCount_ += 8;
        }
        const int code = static_cast<int>(bits_ & ((1u << width) - 1u));
        bits_ >>= width;
        bitCount_ -= width;
        return code;
    }

    // Steps over what is left of the raster's sub-blocks, up to and with
    // the terminator, so the next block starts where it should. False when
    // the file ends first.
    bool skipRest()
    {
        if (terminated_)
            return true;
        dataSeek(file_, blockLeft_, 1);
        blockLeft_ = 0;
        for (;;) {
            const int length = dataGetByteOrEnd(file_);
            if (length < 0)
                return false;
            if (length == 0)
                return true;
            dataSeek(file_, length, 1);
        }
    }

private:
    DataFile* file_;
    int blockLeft_ = 0;
    bool terminated_ = false;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
};

class LzwDecoder {
public:
    LzwDecoder(uint8_t* raster, size_t size) : raster_(raster), size_(size) {}

    bool decode(DataFile* file)
    {
        const int minimum = dataGetByteOrEnd(file);
        // Sizes above 11 would put the clear code outside the table.
        if (minimum < 1 || minimum > maxCodeWidth - 1)
            return false;
        const int clear = 1 << minimum;
        for (int i = 0; i < clear; ++i) {
            prefix_[i] = -1;
            suffix_[i] = static_cast<uint8_t>(i);
        }
        CodeReader reader(file);
        int width = minimum + 1;
        int nextFree = clear + 2;
        int previous = -1;
        for (;;) {
            if (reader.atBlockEnd(width) && produced_ >= size_) {
                imageLog("GIF: Raster full before eoi code\n");
                break;
            }
            const int code = reader.next(width);
            if (code == -2)
                return false;
            if (code == -1 || code == clear + 1)
                break;
            if (code == clear) {
                width = minimum + 1;
                nextFree = clear + 2;
                previous = -1;
                continue;
            }
            if (previous < 0) {
                // Only single bytes may follow a clear.
                if (code > clear) {
                    imageLog("GIF: Code %d too large for %d\n", code, nextFree);
                    return false;
                }
                emit(code, -1);
                previous = code;
                continue;
            }
            if (code > nextFree) {
                imageLog("GIF: Code %d too large for %d\n", code, nextFree);
                return false;
            }
            const uint8_t first = code == nextFree ? firstByte(previous) : firstByte(code);
            if (code == nextFree)
                emit(previous, first);
            else
                emit(code, -1);
            if (nextFree < tableSize) {
                prefix_[nextFree] = static_cast<int16_t>(previous);
                suffix_[nextFree] = first;
                ++nextFree;
                if (nextFree == (1 << width) && width < maxCodeWidth)
                    ++width;
            }
            previous = code;
        }
        if (!reader.skipRest())
            return false;
        if (produced_ != size_) {
            imageLog("GIF: WARNING: wrong rastersize: %ld bytes\n", static_cast<long>(produced_));
            imageLog("GIF:          instead of %ld bytes\n", static_cast<long>(size_));
        }
        return true;
    }

private:
    uint8_t firstByte(int code) const
    {
        while (prefix_[code] >= 0)
            code = prefix_[code];
        return suffix_[code];
    }

    // Writes the string of code, then extra when it is a byte (0..255);
    // whatever lies beyond the raster is counted but dropped.
    void emit(int code, int extra)
    {
        int length = 0;
        // Every entry's prefix is an older entry, so chains end within the
        // table and the stack cannot overflow.
        for (int c = code; c >= 0; c = prefix_[c])
            stack_[length++] = suffix_[c];
        while (length > 0)
            put(stack_[--length]);
        if (extra >= 0)
            put(static_cast<uint8_t>(extra));
    }

    void put(uint8_t value)
    {
        if (produced_ < size_)
            raster_[produced_] = value;
        ++produced_;
    }

    uint8_t* raster_;
    size_t size_;
    size_t produced_ = 0;
    int16_t prefix_[tableSize] = {};
    uint8_t suffix_[tableSize] = {};
    uint8_t stack_[tableSize] = {};
};

struct Descriptor {
    unsigned width = 0;
    unsigned height = 0;
    bool interlaced = false;
};

// Reads an image descriptor and steps over its local colour table.
bool readDescriptor(DataFile* file, Descriptor& descriptor)
{
    uint8_t bytes[9];
    if (dataRead(bytes, 1, 9, file) != 9)
        return false;
    descriptor.width = bytes[4] | (bytes[5] << 8);
    descriptor.height = bytes[6] | (bytes[7] << 8);
    descriptor.interlaced = (bytes[8] & 0x40) != 0;
    if (bytes[8] & 0x80)
        dataSeek(file, 3L << ((bytes[8] & 7) + 1), 1);
    return true;
}

bool skipExtension(DataFile* file)
{
    if (dataGetByteOrEnd(file) < 0)
        return false;
    for (;;) {
        const int length = dataGetByteOrEnd(file);
        if (length < 0)
            return false;
        if (length == 0)
            return true;
        dataSeek(file, length, 1);
    }
}

// Decodes one raster of the descriptor's size; null after pushing why.
uint8_t* decodeRaster(DataFile* file, const Descriptor& descriptor, const char* memoryMessage)
{
    if (!imageSizeAllowed(descriptor.width, descriptor.height, 1)) {
        imagePushError(memoryMessage);
        return nullptr;
    }
    const size_t size = size_t{descriptor.width} * descriptor.height;
    auto* raster = static_cast<uint8_t*>(std::calloc(size > 0 ? size : 1, 1));
    if (raster == nullptr) {
        imagePushError(memoryMessage);
        return nullptr;
    }
    LzwDecoder decoder(raster, size);
    if (!decoder.decode(file)) {
        imagePushError("GIF: Decoding error");
        std::free(raster);
        return nullptr;
    }
    return raster;
}

void copyRows(const uint8_t* raster, const Descriptor& descriptor, uint8_t* pixels)
{
    const size_t width = descriptor.width;
    if (!descriptor.interlaced) {
        std::memcpy(pixels, raster, width * descriptor.height);
        return;
    }
    imagePrint("GIF: Converting interlaced image\n");
    static const unsigned passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    size_t source = 0;
    for (const auto& pass : passes) {
        for (unsigned row = pass[0]; row < descriptor.height; row += pass[1], ++source)
            std::memcpy(pixels + row * width, raster + source * width, width);
    }
}

struct GifState {
    uint8_t header[13] = {};
    unsigned paletteEntries = 0;
    uint8_t palette[256 * 3] = {};
    Descriptor first;
    uint8_t* raster = nullptr;  // the first image's indices
};

bool readHeader(DataFile* file, GifState& gif)
{
    if (dataRead(gif.header, 1, 13, file) != 13) {
        imagePushError("GIF: Couldn't read imageheader");
        return false;
    }
    if (std::memcmp(gif.header, "GIF87a", 6) == 0) {
        imageLog("GIF: \"GIF87a\" signature found\n");
    } else if (std::memcmp(gif.header, "GIF89a", 6) == 0) {
        imageLog("GIF: \"GIF89a\" signature found\n");
    } else {
        imagePushError("GIF: Not a valid GIF file");
        return false;
    }
    const unsigned flags = gif.header[10];
    gif.paletteEntries = 1u << ((flags & 7) + 1);
    if ((flags & 0x80) != 0 && dataRead(gif.palette, 3, gif.paletteEntries, file) != gif.paletteEntries) {
        imagePushError("GIF: Couldn't read palette");
        return false;
    }
    imageLog("GIF: Image is %ibpp, with %i palette entries,\n", ((flags >> 4) & 7) + 1, gif.paletteEntries);
    return true;
}

// Reads blocks up to the trailer; the first image's raster ends in gif.
bool readBlocks(DataFile* file, GifState& gif)
{
    for (;;) {
        const int block = dataGetByteOrEnd(file);
        if (block < 0) {
            imagePushError("GIF: Couldn't read gifimage");
            return false;
        }
        if (block == 0x3B) {
            if (gif.raster != nullptr)
                return true;
            imagePushError("GIF: Couldn't read gifimage");
            return false;
        }
        if (block == 0x21) {
            imageLog("GIF: Reading and ignoring extension\n");
            if (!skipExtension(file)) {
                imagePushError("GIF: Couldn't read gifimage");
                return false;
            }
        } else if (block == 0x2C && gif.raster == nullptr) {
            imageLog("GIF: Found image descriptor\n");
            if (!readDescriptor(file, gif.first)) {
                imagePushError("GIF: Couldn't read gifimage");
                return false;
            }
            gif.raster = decodeRaster(file, gif.first, "GIF: Not enough memory for raster");
            if (gif.raster == nullptr)
                return false;
            imageLog("GIF: GIF read\n");
        } else if (block == 0x2C) {
            imageLog("GIF: Only first image of animated gif supported\n");
            imageLog("GIF: The rest is read and ignored\n");
            Descriptor other;
            if (!readDescriptor(file, other)) {
                imagePushError("GIF: Couldn't read gifimagetemp");
                return false;
            }
            uint8_t* ignored = decodeRaster(file, other, "GIF: Not enough memory for rastertemp");
            if (ignored == nullptr)
                return false;
            std::free(ignored);
        }
    }
}

}  // namespace

Image* loadGif(const char* path)
{
    imageLog("GIF: Loading file \"%s\"...\n", path);
    DataFile* file = dataOpen(path);
    if (file == nullptr) {
        imagePushError("GIF: File not found");
        return nullptr;
    }
    GifState gif;
    Image* image = nullptr;
    if (readHeader(file, gif) && readBlocks(file, gif)) {
        image = imageCreate(gif.first.width, gif.first.height, 8, gif.paletteEntries);
        if (image == nullptr) {
            imagePushError("GIF: Not enough memory for zmgimage");
        } else {
            std::memcpy(image->palette, gif.palette, size_t{gif.paletteEntries} * 3);
            copyRows(gif.raster, gif.first, image->pixels);
        }
    }
    std::free(gif.raster);
    dataClose(file);
    return image;
}
