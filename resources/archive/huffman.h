#pragma once
// Canonical Huffman decoding as RAR 2.x uses it: code lengths 0..15 per
// symbol (0 = unused), shorter codes first, equal lengths in symbol order.
#include <array>
#include <cstdint>

#include "resources/archive/bit_reader.h"

class HuffmanTable {
public:
    static constexpr int maxSymbols = 298;
    static constexpr int maxLength = 15;

    // Builds the decoder for count (<= maxSymbols) code lengths. Returns
    // false, leaving a table that decodes nothing, when the lengths claim
    // more codes than the code space holds. An incomplete set is accepted:
    // only its unused codes fail to decode.
    bool build(const uint8_t* lengths, int count);

    // Decodes one symbol and consumes its bits; -1 (consuming nothing) for a
    // code that no symbol has.
    int decode(BitReader& in) const;

private:
    // Left-justified 16-bit bounds: codes of length L lie in
    // [first_[L], limit_[L]).
    std::array<uint32_t, maxLength + 1> first_{};
    std::array<uint32_t, maxLength + 1> limit_{};
    std::array<uint16_t, maxLength + 1> offset_{};
    std::array<uint16_t, maxSymbols> symbols_{};
};
