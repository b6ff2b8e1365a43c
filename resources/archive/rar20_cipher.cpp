#include "resources/archive/rar20_cipher.h"

#include <bit>
#include <cstring>
#include <vector>

#include "resources/archive/crc32.h"
#include "resources/archive/rar20_subst_table.h"

namespace {

constexpr int rounds = 32;
constexpr std::array<uint32_t, 4> initialKey = {0xD3A3B879u, 0x3F6D12F7u, 0x7515A235u, 0xA4E7F123u};

uint32_t load32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void store32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

}  // namespace

void Rar20Cipher::setPassword(const char* password)
{
    key_ = initialKey;
    table_ = rar20InitialSubstTable();
    const size_t length = password ? std::strlen(password) : 0;
    // Padded to whole blocks: the set-up reads one byte past odd lengths and
    // enciphers the password block by block.
    std::vector<uint8_t> psw((length + 16) & ~size_t(15), 0);
    if (length)
        std::memcpy(psw.data(), password, length);
    const uint32_t* crc = crc32Table();
    for (unsigned j = 0; j < 256; ++j) {
        for (size_t i = 0; i < length; i += 2) {
            const uint8_t stop = uint8_t(crc[(psw[i + 1] + j) & 0xFF]);
            uint8_t n = uint8_t(crc[(psw[i] - j) & 0xFF]);
            for (unsigned k = 1; n != stop; n = uint8_t(n + 1), ++k)
                std::swap(table_[n], table_[(n + i + k) & 0xFF]);
        }
    }
    for (size_t i = 0; i < length; i += 16)
        cryptBlock(psw.data() + i, false);
    std::fill(psw.begin(), psw.end(), 0);
}

void Rar20Cipher::clear()
{
    key_.fill(0);
    table_.fill(0);
}

uint32_t Rar20Cipher::substitute(uint32_t v) const
{
    return uint32_t(table_[v & 0xFF]) | uint32_t(table_[(v >> 8) & 0xFF]) << 8 |
           uint32_t(table_[(v >> 16) & 0xFF]) << 16 | uint32_t(table_[v >> 24]) << 24;
}

// Both directions run the same rounds; deciphering walks the round keys
// backwards and stirs the key words with the ciphertext it was given.
void Rar20Cipher::cryptBlock(uint8_t* block, bool decipher)
{
    uint8_t cipherBlock[16];
    std::memcpy(cipherBlock, block, 16);
    uint32_t a = load32(block) ^ key_[0], b = load32(block + 4) ^ key_[1];
    uint32_t c = load32(block + 8) ^ key_[2], d = load32(block + 12) ^ key_[3];
    for (int step = 0; step < rounds; ++step) {
        const uint32_t k = key_[(decipher ? rounds - 1 - step : step) & 3];
        const uint32_t ta = a ^ substitute((c + std::rotl(d, 11)) ^ k);
        const uint32_t tb = b ^ substitute((d ^ std::rotl(c, 17)) + k);
        a = c;
        b = d;
        c = ta;
        d = tb;
    }
    store32(block, c ^ key_[0]);
    store32(block + 4, d ^ key_[1]);
    store32(block + 8, a ^ key_[2]);
    store32(block + 12, b ^ key_[3]);
    stirKeys(decipher ? cipherBlock : block);
}

void Rar20Cipher::stirKeys(const uint8_t* cipherBlock)
{
    const uint32_t* crc = crc32Table();
    for (int i = 0; i < 16; i += 4)
        for (int w = 0; w < 4; ++w)
            key_[w] ^= crc[cipherBlock[i + w]];
}

void Rar20Cipher::encrypt(uint8_t* data, size_t size)
{
    for (size_t i = 0; i + 16 <= size; i += 16)
        cryptBlock(data + i, false);
}

void Rar20Cipher::decrypt(uint8_t* data, size_t size)
{
    for (size_t i = 0; i + 16 <= size; i += 16)
        cryptBlock(data + i, true);
}
