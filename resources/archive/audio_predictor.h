#pragma once
// The multimedia mode of RAR 2.0: each channel predicts its next byte from
// its last bytes and deltas with five adaptive weights, and the stream
// carries only the difference to the prediction. Every 32 bytes a channel
// moves one weight by one step towards the predictor that would have erred
// least.
#include <array>
#include <cstdint>

class AudioPredictor {
public:
    static constexpr int maxChannels = 4;

    // Back to the state at the start of a member stream.
    void reset();

    // Turns a coded difference of the given channel into the output byte.
    // channel must be below maxChannels.
    uint8_t decode(int channel, int delta);

private:
    struct Channel {
        std::array<int, 5> weight{};  // K1..K5
        int d1 = 0, d2 = 0, d3 = 0, d4 = 0;
        int lastDelta = 0;
        std::array<uint32_t, 11> error{};
        uint32_t byteCount = 0;
        int lastByte = 0;
    };

    static void adapt(Channel& ch);

    std::array<Channel, maxChannels> channels_{};
    int channelDelta_ = 0;  // last delta of whichever channel came before
};
