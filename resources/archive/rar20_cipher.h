#pragma once
// The RAR 2.0 cipher: a 32-round block cipher on 16-byte blocks with four
// 32-bit key words and a 256-byte substitution table, both derived from the
// password. After every block the key words are stirred with the ciphertext,
// so blocks must be processed in stream order.
#include <array>
#include <cstddef>
#include <cstdint>

class Rar20Cipher {
public:
    // Derives the key words and substitution table from password (a C
    // string; empty gives the initial state). Resets any earlier stream.
    void setPassword(const char* password);

    // Enciphers / deciphers the whole 16-byte blocks of data in place and
    // advances the key state; a trailing partial block is left untouched.
    void encrypt(uint8_t* data, size_t size);
    void decrypt(uint8_t* data, size_t size);

    // Wipes the key material.
    void clear();

private:
    uint32_t substitute(uint32_t value) const;
    void cryptBlock(uint8_t* block, bool decipher);
    void stirKeys(const uint8_t* cipherBlock);

    std::array<uint32_t, 4> key_{};
    std::array<uint8_t, 256> table_{};
};
