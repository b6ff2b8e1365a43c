#pragma once
// Writes small RAR 2.0 compressed streams for tests: fixed-length codes
// (every main symbol 9 bits, distances 6, repeat lengths 5), so a test can
// say exactly which literals and matches a stream holds, valid or not.
#include <cstdint>
#include <vector>

class Rar20StreamBuilder {
public:
    // Bits most significant first, as the decoder reads them.
    void bits(uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            if (used_ % 8 == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1)
                bytes_.back() |= uint8_t(0x80 >> (used_ % 8));
            ++used_;
        }
    }

    // A table header (no multimedia, old lengths cleared) and the given code
    // lengths for all 374 symbols, each sent as a plain 5-bit bit-length code.
    void tables(const std::vector<uint8_t>& lengths)
    {
        bits(0, 2);
        for (int i = 0; i < 19; ++i)
            bits(5, 4);
        for (uint8_t length : lengths)
            bits(length, 5);
    }

    // The tables literal() and match() assume.
    void fixedTables()
    {
        std::vector<uint8_t> lengths(298, 9);
        lengths.resize(298 + 48, 6);
        lengths.resize(298 + 48 + 28, 5);
        tables(lengths);
    }

    void literal(uint8_t byte) { bits(byte, 9); }

    // A match of length 3..10 (length slots 0..7 carry no extra bits) at a
    // distance of 1..4 (distance slots 0..3 carry none either).
    void match(int length, int distance)
    {
        bits(uint32_t(270 + length - 3), 9);
        bits(uint32_t(distance - 1), 6);
    }

    std::vector<uint8_t> finish() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    size_t used_ = 0;
};
