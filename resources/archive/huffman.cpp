#include "resources/archive/huffman.h"

bool HuffmanTable::build(const uint8_t* lengths, int count)
{
    std::array<uint16_t, maxLength + 1> perLength{};
    first_.fill(0);
    limit_.fill(0);
    if (count < 0 || count > maxSymbols)
        return false;
    for (int i = 0; i < count; ++i)
        ++perLength[lengths[i] & 15];

    uint32_t code = 0;
    uint16_t index = 0;
    for (int len = 1; len <= maxLength; ++len) {
        first_[len] = code;
        code += uint32_t(perLength[len]) << (16 - len);
        if (code > 0x10000) {
            limit_.fill(0);
            return false;
        }
        limit_[len] = code;
        offset_[len] = index;
        index = uint16_t(index + perLength[len]);
    }
    std::array<uint16_t, maxLength + 1> next = offset_;
    for (int i = 0; i < count; ++i) {
        const int len = lengths[i] & 15;
        if (len)
            symbols_[next[len]++] = uint16_t(i);
    }
    return true;
}

int HuffmanTable::decode(BitReader& in) const
{
    const uint32_t bits = in.peek16();
    for (int len = 1; len <= maxLength; ++len) {
        if (bits < limit_[len] && bits >= first_[len]) {
            in.skip(unsigned(len));
            return symbols_[offset_[len] + ((bits - first_[len]) >> (16 - len))];
        }
    }
    return -1;
}
