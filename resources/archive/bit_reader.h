#pragma once
// Most-significant-bit-first reader over a block of packed bytes. Peeking
// past the end yields zero bits (a decoder looks ahead further than the last
// code needs); consuming past the end is recorded and must be treated as an
// error by the caller.
#include <cstddef>
#include <cstdint>

class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // The next 16 bits, first bit in bit 15, without consuming them.
    uint32_t peek16() const
    {
        const size_t byte = bitPos_ >> 3;
        const uint32_t window = uint32_t(at(byte)) << 16 | uint32_t(at(byte + 1)) << 8 | at(byte + 2);
        return (window >> (8 - (bitPos_ & 7))) & 0xFFFF;
    }

    // Reads count (0..16) bits as a number.
    uint32_t read(unsigned count)
    {
        const uint32_t value = count ? peek16() >> (16 - count) : 0;
        skip(count);
        return value;
    }

    void skip(unsigned count) { bitPos_ += count; }

    // True once more bits were consumed than the data holds.
    bool overrun() const { return bitPos_ > size_ * 8; }

    // Whole bytes not yet touched by consumed bits.
    size_t bytesLeft() const
    {
        const size_t usedBytes = (bitPos_ + 7) >> 3;
        return usedBytes < size_ ? size_ - usedBytes : 0;
    }

private:
    uint8_t at(size_t i) const { return i < size_ ? data_[i] : 0; }

    const uint8_t* data_;
    size_t size_;
    size_t bitPos_ = 0;
};
