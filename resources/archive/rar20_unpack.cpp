#include "resources/archive/rar20_unpack.h"

#include <cstring>
#include <new>

namespace {

constexpr int mainSymbols = 298;
constexpr int distSymbols = 48;
constexpr int repSymbols = 28;
constexpr int bitLengthSymbols = 19;
constexpr int audioSymbols = 257;

constexpr uint8_t lengthBase[28] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  20,
                                    24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
constexpr uint8_t lengthBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
constexpr uint32_t distBase[48] = {
    0,     1,     2,     3,     4,     6,      8,      12,     16,     24,     32,     48,
    64,    96,    128,   192,   256,   384,    512,    768,    1024,   1536,   2048,   3072,
    4096,  6144,  8192,  12288, 16384, 24576,  32768,  49152,  65536,  98304,  131072, 196608,
    262144, 327680, 393216, 458752, 524288, 589824, 655360, 720896, 786432, 851968, 917504, 983040};
constexpr uint8_t distBits[48] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                  7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14, 14,
                                  15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
constexpr uint8_t shortBase[8] = {0, 4, 8, 16, 32, 64, 128, 192};
constexpr uint8_t shortBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

}  // namespace

bool Rar20Unpacker::create()
{
    window_.reset(new (std::nothrow) uint8_t[windowSize]);
    return window_ != nullptr;
}

bool Rar20Unpacker::fail(const char* reason)
{
    error_ = reason;
    return false;
}

Rar20Unpacker::Status Rar20Unpacker::failStep(const char* reason)
{
    error_ = reason;
    return Status::failed;
}

void Rar20Unpacker::resetState()
{
    std::memset(window_.get(), 0, windowSize);
    windowPos_ = 0;
    windowFilled_ = 0;
    oldDist_.fill(0);
    oldDistPos_ = 0;
    lastDist_ = 0;
    lastLength_ = 0;
    oldLengths_.fill(0);
    tablesRead_ = false;
    audioMode_ = false;
    channels_ = 1;
    currentChannel_ = 0;
    audio_.reset();
}

bool Rar20Unpacker::readTables(BitReader& in)
{
    const uint32_t header = in.peek16();
    audioMode_ = (header & 0x8000) != 0;
    if (!(header & 0x4000))
        oldLengths_.fill(0);
    in.skip(2);
    int tableSize = mainSymbols + distSymbols + repSymbols;
    if (audioMode_) {
        channels_ = int((header >> 12) & 3) + 1;
        if (currentChannel_ >= channels_)
            currentChannel_ = 0;
        in.skip(2);
        tableSize = audioSymbols * channels_;
    }

    uint8_t bitLengths[bitLengthSymbols];
    for (uint8_t& length : bitLengths)
        length = uint8_t(in.read(4));
    HuffmanTable lengthCode;
    if (!lengthCode.build(bitLengths, bitLengthSymbols))
        return fail("over-subscribed bit length table");

    std::array<uint8_t, audioSymbols * AudioPredictor::maxChannels> lengths{};
    for (int i = 0; i < tableSize;) {
        const int symbol = lengthCode.decode(in);
        if (symbol < 0)
            return fail("undefined code in the table lengths");
        if (symbol < 16) {
            lengths[size_t(i)] = uint8_t((symbol + oldLengths_[size_t(i)]) & 15);
            ++i;
        } else if (symbol == 16) {
            if (i == 0)
                return fail("table repeat code with nothing to repeat");
            uint32_t count = in.read(2) + 3;
            for (; count > 0 && i < tableSize; --count, ++i)
                lengths[size_t(i)] = lengths[size_t(i - 1)];
        } else {
            uint32_t count = symbol == 17 ? in.read(3) + 3 : in.read(7) + 11;
            for (; count > 0 && i < tableSize; --count, ++i)
                lengths[size_t(i)] = 0;
        }
        if (in.overrun())
            return fail("packed data end inside the tables");
    }
    if (in.overrun())
        return fail("packed data end inside the tables");

    bool ok = true;
    if (audioMode_) {
        for (int c = 0; c < channels_; ++c)
            ok = audioTables_[size_t(c)].build(&lengths[size_t(c * audioSymbols)], audioSymbols) && ok;
    } else {
        ok = mainTable_.build(&lengths[0], mainSymbols) && ok;
        ok = distTable_.build(&lengths[mainSymbols], distSymbols) && ok;
        ok = repTable_.build(&lengths[mainSymbols + distSymbols], repSymbols) && ok;
    }
    std::memcpy(oldLengths_.data(), lengths.data(), size_t(tableSize));
    if (!ok)
        return fail("over-subscribed Huffman table");
    tablesRead_ = true;
    return true;
}

// The encoder may place the tables for the next member of a solid stream
// after the last code of this one.
void Rar20Unpacker::readTrailingTables(BitReader& in)
{
    if (in.bytesLeft() < 5)
        return;
    BitReader probe = in;
    const int symbol = audioMode_ ? audioTables_[size_t(currentChannel_)].decode(probe) : mainTable_.decode(probe);
    if (symbol == (audioMode_ ? 256 : 269)) {
        in = probe;
        if (!readTables(in))
            tablesRead_ = false;
    }
}

bool Rar20Unpacker::emit(uint8_t byte)
{
    if (produced_ >= target_)
        return fail("Fatal! Buffer overrun during decompression!");
    window_[windowPos_] = byte;
    windowPos_ = (windowPos_ + 1) & windowMask;
    if (windowFilled_ < windowSize)
        ++windowFilled_;
    if (out_)
        out_[produced_] = byte;
    ++produced_;
    return true;
}

bool Rar20Unpacker::copyMatch(uint32_t length, uint32_t distance)
{
    oldDist_[oldDistPos_] = distance;
    oldDistPos_ = (oldDistPos_ + 1) & 3;
    lastDist_ = distance;
    lastLength_ = length;
    if (length == 0)
        return true;
    if (distance == 0 || distance > windowFilled_)
        return fail("match distance before the start of the output");
    if (length > target_ - produced_)
        return fail("Fatal! Buffer overrun during decompression!");
    for (uint32_t i = 0; i < length; ++i)
        emit(window_[(windowPos_ - distance) & windowMask]);
    return true;
}

Rar20Unpacker::Status Rar20Unpacker::decodeStep(BitReader& in)
{
    if (audioMode_) {
        const int symbol = audioTables_[size_t(currentChannel_)].decode(in);
        if (symbol < 0)
            return failStep("undefined code in the packed data");
        if (symbol == 256)
            return readTables(in) ? Status::more : Status::failed;
        if (!emit(audio_.decode(currentChannel_, symbol)))
            return Status::failed;
        if (++currentChannel_ == channels_)
            currentChannel_ = 0;
        return Status::more;
    }

    const int symbol = mainTable_.decode(in);
    if (symbol < 0)
        return failStep("undefined code in the packed data");
    if (symbol < 256)
        return emit(uint8_t(symbol)) ? Status::more : Status::failed;
    if (symbol == 269)
        return readTables(in) ? Status::more : Status::failed;

    uint32_t length = 0;
    uint32_t distance = 0;
    if (symbol > 269) {
        const int slot = symbol - 270;
        length = lengthBase[slot] + 3 + in.read(lengthBits[slot]);
        const int distSlot = distTable_.decode(in);
        if (distSlot < 0)
            return failStep("undefined code in the packed data");
        distance = distBase[distSlot] + 1 + in.read(distBits[distSlot]);
        if (distance >= 0x2000)
            length += distance >= 0x40000 ? 2 : 1;
    } else if (symbol == 256) {
        length = lastLength_;
        distance = lastDist_;
    } else if (symbol < 261) {
        distance = oldDist_[(oldDistPos_ - uint32_t(symbol - 256)) & 3];
        const int slot = repTable_.decode(in);
        if (slot < 0)
            return failStep("undefined code in the packed data");
        length = lengthBase[slot] + 2 + in.read(lengthBits[slot]);
        if (distance >= 0x101)
            length += distance >= 0x40000 ? 3 : distance >= 0x2000 ? 2 : 1;
    } else {
        const int slot = symbol - 261;
        distance = shortBase[slot] + 1 + in.read(shortBits[slot]);
        length = 2;
    }
    if (in.overrun())
        return failStep("packed data end inside a code");
    return copyMatch(length, distance) ? Status::more : Status::failed;
}

bool Rar20Unpacker::unpack(const uint8_t* packed, size_t packedSize, uint32_t unpackedSize, bool continueSolid,
                           uint8_t* out)
{
    error_.clear();
    if (!window_)
        return fail("no window");
    if (!continueSolid)
        resetState();
    out_ = out;
    produced_ = 0;
    target_ = unpackedSize;
    BitReader in(packed, packedSize);
    if (target_ == 0)
        return true;
    if (!tablesRead_ && !readTables(in))
        return false;
    while (produced_ < target_) {
        if (decodeStep(in) == Status::failed)
            return false;
        if (in.overrun())
            return fail("packed data end before the member is complete");
    }
    readTrailingTables(in);
    return true;
}
