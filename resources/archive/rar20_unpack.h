#pragma once
// The RAR 2.0 decompressor: LZ77 over a 1 MiB window with Huffman-coded
// literals, lengths and distances, four remembered distances, and the
// multimedia mode with up to four delta-predicted channels. One object
// decodes the members of one archive in order; in a solid archive the
// window, tables and code lengths carry over from member to member.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "resources/archive/audio_predictor.h"
#include "resources/archive/bit_reader.h"
#include "resources/archive/huffman.h"

class Rar20Unpacker {
public:
    static constexpr uint32_t windowSize = 0x100000;
    static constexpr uint32_t windowMask = windowSize - 1;

    Rar20Unpacker() = default;
    Rar20Unpacker(const Rar20Unpacker&) = delete;
    Rar20Unpacker& operator=(const Rar20Unpacker&) = delete;

    // Allocates the window. False when the memory cannot be had.
    bool create();

    // Decodes one member from its packed bytes. With continueSolid the
    // member goes on from the state the previous member left; otherwise the
    // window, distances and code lengths start afresh. The member's bytes go
    // to out (room for unpackedSize bytes) or, with out null, only into the
    // window. Returns false with a reason in error() when the data are
    // damaged: a bad table, a code no symbol has, a distance before the
    // start of the output, output past unpackedSize or input past its end.
    bool unpack(const uint8_t* packed, size_t packedSize, uint32_t unpackedSize, bool continueSolid, uint8_t* out);

    const std::string& error() const { return error_; }

private:
    enum class Status { more, done, failed };

    void resetState();
    bool readTables(BitReader& in);
    void readTrailingTables(BitReader& in);
    Status decodeStep(BitReader& in);
    bool emit(uint8_t byte);
    bool copyMatch(uint32_t length, uint32_t distance);
    bool fail(const char* reason);
    Status failStep(const char* reason);

    std::unique_ptr<uint8_t[]> window_;
    uint32_t windowPos_ = 0;
    uint32_t windowFilled_ = 0;  // bytes decoded into the window, at most windowSize

    HuffmanTable mainTable_, distTable_, repTable_;
    std::array<HuffmanTable, AudioPredictor::maxChannels> audioTables_;
    std::array<uint8_t, 257 * AudioPredictor::maxChannels> oldLengths_{};
    bool tablesRead_ = false;
    bool audioMode_ = false;
    int channels_ = 1;
    int currentChannel_ = 0;
    AudioPredictor audio_;

    std::array<uint32_t, 4> oldDist_{};
    uint32_t oldDistPos_ = 0;
    uint32_t lastDist_ = 0;
    uint32_t lastLength_ = 0;

    uint8_t* out_ = nullptr;
    uint32_t produced_ = 0;
    uint32_t target_ = 0;
    std::string error_;
};
