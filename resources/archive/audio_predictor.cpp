#include "resources/archive/audio_predictor.h"

#include <cstdlib>

void AudioPredictor::reset()
{
    channels_ = {};
    channelDelta_ = 0;
}

uint8_t AudioPredictor::decode(int channel, int delta)
{
    Channel& ch = channels_[size_t(channel)];
    ++ch.byteCount;
    ch.d4 = ch.d3;
    ch.d3 = ch.d2;
    ch.d2 = ch.lastDelta - ch.d1;
    ch.d1 = ch.lastDelta;
    const int predicted = 8 * ch.lastByte + ch.weight[0] * ch.d1 + ch.weight[1] * ch.d2 + ch.weight[2] * ch.d3 +
                          ch.weight[3] * ch.d4 + ch.weight[4] * channelDelta_;
    const unsigned value = ((unsigned(predicted) >> 3) & 0xFF) - unsigned(delta);
    const uint8_t out = uint8_t(value);

    // Score every candidate predictor on this sample: the plain delta and
    // each history term with either sign.
    const int d = int(int8_t(uint8_t(delta))) << 3;
    const int terms[5] = {ch.d1, ch.d2, ch.d3, ch.d4, channelDelta_};
    ch.error[0] += uint32_t(std::abs(d));
    for (int t = 0; t < 5; ++t) {
        ch.error[1 + 2 * t] += uint32_t(std::abs(d - terms[t]));
        ch.error[2 + 2 * t] += uint32_t(std::abs(d + terms[t]));
    }
    channelDelta_ = ch.lastDelta = int(int8_t(uint8_t(out - uint8_t(ch.lastByte))));
    ch.lastByte = out;
    if ((ch.byteCount & 0x1F) == 0)
        adapt(ch);
    return out;
}

void AudioPredictor::adapt(Channel& ch)
{
    uint32_t least = ch.error[0];
    int best = 0;
    ch.error[0] = 0;
    for (int i = 1; i < 11; ++i) {
        if (ch.error[i] < least) {
            least = ch.error[i];
            best = i;
        }
        ch.error[i] = 0;
    }
    if (best == 0)
        return;
    int& w = ch.weight[size_t((best - 1) / 2)];
    if (best % 2 == 1) {
        if (w >= -16)
            --w;
    } else if (w < 16) {
        ++w;
    }
}
