#include "resources/datafile.h"
#include "resources/images/loaders.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
using Block = std::unique_ptr<uint8_t[], FreeDeleter>;

Block zeroedBlock(size_t bytes) { return Block(static_cast<uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1))); }

struct TgaHeader {
    unsigned idLength = 0;
    unsigned colourMapType = 0;
    unsigned imageType = 0;
    unsigned mapFirst = 0;
    unsigned mapLength = 0;
    unsigned mapEntryBits = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned depth = 0;
    unsigned descriptor = 0;
};

struct PixelFormat {
    unsigned colourBits = 0;
    unsigned alphaBits = 0;
    bool indexed = false;
    bool runLength = false;
};

bool readFooter(DataFile* file)
{
    uint8_t footer[26];
    if (file->size < sizeof footer) {
        imagePushError("TGA: Cannot read footer");
        return false;
    }
    dataSeek(file, -static_cast<long>(sizeof footer), 2);
    dataRead(footer, 1, sizeof footer, file);
    if (std::memcmp(footer + 8, "TRUEVISION-XFILE", 16) == 0)
        imageLog("TGA: found new TGA\n");
    else
        imageLog("TGA: found original TGA\n");
    return true;
}

bool readHeader(DataFile* file, TgaHeader& header)
{
    uint8_t bytes[18];
    dataSeek(file, 0, 0);
    if (dataRead(bytes, 1, sizeof bytes, file) != sizeof bytes) {
        imagePushError("TGA: Cannot read header");
        return false;
    }
    auto read16 = [&](int at) { return unsigned{bytes[at]} | (unsigned{bytes[at + 1]} << 8); };
    header.idLength = bytes[0];
    header.colourMapType = bytes[1];
    header.imageType = bytes[2];
    header.mapFirst = read16(3);
    header.mapLength = read16(5);
    header.mapEntryBits = bytes[7];
    header.width = read16(12);
    header.height = read16(14);
    header.depth = bytes[16];
    header.descriptor = bytes[17];
    dataSeek(file, header.idLength, 1);
    return true;
}

// Splits the pixel depth into colour and alpha bits and checks the type
// against the colour map type; false after pushing why.
bool pixelFormat(const TgaHeader& header, PixelFormat& format)
{
    const unsigned depth = header.depth;
    const unsigned declaredAlpha = header.descriptor & 0x0F;
    if (header.imageType == 2 || header.imageType == 10)
        format.colourBits = 3 * std::min(depth / 3, 8u);
    else
        format.colourBits = declaredAlpha < depth ? depth - declaredAlpha : depth;
    format.alphaBits = depth - format.colourBits;
    if (declaredAlpha + format.colourBits > depth) {
        imageLog("TGA: %d bit image, %d bit alpha is greater than %d total bits per pixel\n", format.colourBits,
                 declaredAlpha, depth);
        imageLog("TGA: reducing to %d bit alpha\n", format.alphaBits);
    } else if (declaredAlpha + format.colourBits < depth) {
        imageLog("TGA: %d bit image, %d bit alpha is less than %d total bits per pixel\n", format.colourBits,
                 declaredAlpha, depth);
        imageLog("TGA: increasing to %d bit alpha\n", format.alphaBits);
    } else {
        format.alphaBits = declaredAlpha;
    }

    format.runLength = header.imageType >= 9;
    switch (header.imageType) {
    case 1:
    case 9:
        format.indexed = true;
        format.colourBits = 3 * std::min(header.mapEntryBits / 3, 8u);
        format.alphaBits = header.mapEntryBits - format.colourBits;
        imageLog("TGA: %d bit indexed image, %d bit alpha (%d bit indices)\n", format.colourBits, format.alphaBits,
                 depth);
        break;
    case 2:
    case 10:
        imageLog("TGA: %d bit color image, %d bit alpha\n", format.colourBits, format.alphaBits);
        break;
    case 3:
    case 11:
        imageLog("TGA: %d bit grayscale image, %d bit alpha\n", format.colourBits, format.alphaBits);
        break;
    default:
        imagePushError("TGA: unrecognized image type");
        return false;
    }
    if (format.indexed && header.colourMapType != 1) {
        imagePushError("TGA: indexed image has invalid color map type");
        return false;
    }
    if (!format.indexed && header.colourMapType != 0) {
        imagePushError("TGA: non-indexed image has invalid color map type");
        return false;
    }
    return true;
}

// Reads the colour map into an R, G, B table of first + length entries, the
// first ones zero. Two-byte entries are 5-5-5 and widened to 8 bits a
// channel, one-byte entries are grey; wider ones are B, G, R (and alpha,
// which is dropped).
Block readColourMap(DataFile* file, const TgaHeader& header, unsigned& entries)
{
    imageLog("TGA: reading color map (%d + %d) * (%d bits)\n", header.mapFirst, header.mapLength,
             header.mapEntryBits);
    entries = header.mapFirst + header.mapLength;
    if (header.mapLength == 0 || entries > 0xFFFF || header.mapEntryBits == 0) {
        imagePushError("TGA: invalid color map length");
        return nullptr;
    }
    const size_t entryBytes = (header.mapEntryBits + 7) / 8;
    Block raw = zeroedBlock(header.mapLength * entryBytes);
    Block palette = zeroedBlock(size_t{entries} * 3);
    if (raw == nullptr || palette == nullptr) {
        imagePushError("TGA: Not enough memory for cmap");
        return nullptr;
    }
    if (dataRead(raw.get(), entryBytes, header.mapLength, file) != header.mapLength) {
        imagePushError("TGA: error reading colormap");
        return nullptr;
    }
    for (unsigned i = 0; i < header.mapLength; ++i) {
        const uint8_t* in = raw.get() + i * entryBytes;
        uint8_t* out = palette.get() + (size_t{header.mapFirst} + i) * 3;
        if (entryBytes == 1) {
            out[0] = out[1] = out[2] = in[0];
        } else if (entryBytes == 2) {
            const unsigned v = in[0] | (in[1] << 8);
            out[0] = static_cast<uint8_t>(((v >> 10) & 31) * 255 / 31);
            out[1] = static_cast<uint8_t>(((v >> 5) & 31) * 255 / 31);
            out[2] = static_cast<uint8_t>((v & 31) * 255 / 31);
        } else {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return palette;
}

// Hands out run-length coded elements a requested number at a time. A
// packet reaching past a request goes to the state buffer, whose rest is
// handed out first on the next request. One reader serves one file, so
// nothing of one picture's packets can leak into the next.
class RunLengthReader {
public:
    RunLengthReader(DataFile* file, size_t elementSize)
        : file_(file), elementSize_(elementSize), state_(zeroedBlock(128 * elementSize))
    {
    }
    bool ready() const { return state_ != nullptr; }

    // Whole elements delivered into out (at most count).
    size_t read(uint8_t* out, size_t count)
    {
        size_t done = std::min(count, stateLeft_);
        std::memcpy(out, state_.get() + stateStart_ * elementSize_, done * elementSize_);
        stateStart_ += done;
        stateLeft_ -= done;
        while (done < count) {
            const int head = dataGetByteOrEnd(file_);
            if (head < 0) {
                imageLog("TGA: hit EOF while looking for count\n");
                return done;
            }
            const size_t length = (head & 0x7F) + 1u;
            const size_t wanted = count - done;
            const bool spills = length > wanted;
            uint8_t* target = spills ? state_.get() : out + done * elementSize_;
            if (spills)
                imageLog("TGA: needed to use statebuf for %d bytes\n", int((length - wanted) * elementSize_));
            size_t got = length;
            if (head & 0x80) {
                if (dataRead(target, elementSize_, 1, file_) != 1) {
                    imageLog("TGA: EOF while reading %d/%d element RLE packet\n", int(length), int(elementSize_));
                    return done;
                }
                for (size_t i = 1; i < length; ++i)
                    std::memcpy(target + i * elementSize_, target, elementSize_);
            } else {
                got = dataRead(target, elementSize_, length, file_);
                if (got != length)
                    imageLog("TGA: EOF while reading %d/%d element raw packet\n", int(length), int(elementSize_));
            }
            if (spills) {
                const size_t handed = std::min(got, wanted);
                std::memcpy(out + done * elementSize_, target, handed * elementSize_);
                stateStart_ = handed;
                stateLeft_ = got - handed;
                got = handed;
            }
            done += got;
            if (got < std::min(length, wanted))
                return done;
        }
        return done;
    }

private:
    DataFile* file_;
    size_t elementSize_;
    Block state_;
    size_t stateStart_ = 0;
    size_t stateLeft_ = 0;
};

// Brings decoded elements to the record's byte order: B, G, R to R, G, B
// (then A, R, G, B for 32 bits), 1-5-5-5 to 5-6-5 high byte first; and to
// top row first.
void storePixels(const uint8_t* data, const TgaHeader& header, const PixelFormat& format, size_t elementSize,
                 Image* image)
{
    const bool bottomUp = (header.descriptor & 0x20) == 0;
    const bool mirrored = (header.descriptor & 0x10) != 0;
    const size_t width = image->width;
    const size_t height = image->height;
    uint8_t* out = image->pixels;
    for (size_t y = 0; y < height; ++y) {
        const size_t sourceRow = bottomUp ? height - 1 - y : y;
        for (size_t x = 0; x < width; ++x, out += elementSize) {
            const uint8_t* in = data + (sourceRow * width + (mirrored ? width - 1 - x : x)) * elementSize;
            std::memcpy(out, in, elementSize);
            if (elementSize > 2)
                std::swap(out[0], out[2]);
            if (header.depth == 32) {
                const uint8_t alpha = out[3];
                std::memmove(out + 1, out, 3);
                out[0] = alpha;
            }
            // Indexed pixels are one-byte indices whatever the colour map's
            // entries are; only true-colour pixels are repacked.
            if (!format.indexed && format.colourBits == 15 && format.alphaBits == 1) {
                const unsigned v = in[0] | (in[1] << 8);
                out[0] = static_cast<uint8_t>(v >> 7);
                out[1] = static_cast<uint8_t>(((v >> 5) << 6) | (v & 0x1F));
            }
        }
    }
}

bool readElements(DataFile* file, const PixelFormat& format, uint8_t* data, size_t elementSize, size_t count)
{
    size_t got = 0;
    if (format.runLength) {
        RunLengthReader reader(file, elementSize);
        if (!reader.ready()) {
            imagePushError("TGA: Not enough memory for statebuf");
            return false;
        }
        got = reader.read(data, count);
    } else {
        got = dataRead(data, elementSize, count, file);
    }
    if (count > 0 && got == 0) {
        imagePushError("TGA: Could not read from file");
        return false;
    }
    return true;
}

bool decodeBody(DataFile* file, const TgaHeader& header, Image* image)
{
    PixelFormat format;
    if (!pixelFormat(header, format))
        return false;
    Block palette;
    unsigned entries = 0;
    size_t elementSize = (format.colourBits + format.alphaBits + 7) / 8;
    if (format.indexed) {
        palette = readColourMap(file, header, entries);
        if (palette == nullptr)
            return false;
        elementSize = 1;
    }
    // The record was made for the header's depth; other element sizes
    // (such as 16-bit indices) would not fit it.
    if (elementSize == 0 || elementSize != imageBytesPerPixel(image->bitsPerPixel))
        return false;
    const size_t count = size_t{image->width} * image->height;
    Block data = zeroedBlock(count * elementSize);
    if (data == nullptr) {
        imagePushError("TGA: Not enough memory for data");
        return false;
    }
    if (!readElements(file, format, data.get(), elementSize, count))
        return false;
    storePixels(data.get(), header, format, elementSize, image);
    // Indices past the colour map stay as they are: every user of the
    // palette checks them (the 32-bit conversion makes them black).
    if (format.indexed) {
        image->palette = palette.release();
        image->paletteEntries = static_cast<uint16_t>(entries);
    }
    return true;
}

}  // namespace

Image* loadTga(const char* path)
{
    imageLog("TGA: Loading file \"%s\"...\n", path);
    DataFile* file = dataOpen(path);
    if (file == nullptr) {
        imagePushError("TGA: File not found");
        return nullptr;
    }
    TgaHeader header;
    Image* image = nullptr;
    if (readFooter(file) && readHeader(file, header)) {
        if (imageSizeAllowed(header.width, header.height, imageBytesPerPixel(header.depth)))
            image = imageCreate(header.width, header.height, header.depth, 0);
        if (image == nullptr) {
            imagePushError("TGA: Not enough memory for zmgimage");
        } else if (!decodeBody(file, header, image)) {
            imagePushError("TGA: Couldn't read imagedata");
            imageFree(image);
            image = nullptr;
        }
    }
    dataClose(file);
    return image;
}
