#include "platform/sound_decoder.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace platform {

namespace {

// How much of each channel goes to the left and the right output, by the
// Vorbis channel order: l left, r right, c centre, L and R surrounds, b back
// centre, e LFE. Mono goes to both sides whole.
const char* channelRoles(int channels)
{
    switch (channels) {
    case 1: return "m";
    case 2: return "lr";
    case 3: return "lcr";
    case 4: return "lrLR";
    case 5: return "lcrLR";
    case 6: return "lcrLRe";
    case 7: return "lcrLRbe";
    case 8: return "lcrLRLRe";
    default: return nullptr;  // no defined order: every channel to both sides
    }
}

void sideWeights(char role, float& left, float& right)
{
    constexpr float half = 0.70710678f;
    switch (role) {
    case 'l': left = 1.0f, right = 0.0f; break;
    case 'r': left = 0.0f, right = 1.0f; break;
    case 'c': left = half, right = half; break;
    case 'L': left = half, right = 0.0f; break;
    case 'R': left = 0.0f, right = half; break;
    case 'b': left = 0.5f, right = 0.5f; break;
    case 'e': left = 0.0f, right = 0.0f; break;
    default: left = 1.0f, right = 1.0f; break;
    }
}

// Catmull-Rom through x0..x3 at f (0..1) between x1 and x2; x1 exactly at 0.
float cubic(float x0, float x1, float x2, float x3, float f)
{
    const float c1 = 0.5f * (x2 - x0);
    const float c2 = x0 - 2.5f * x1 + 2.0f * x2 - 0.5f * x3;
    const float c3 = 0.5f * (x3 - x0) + 1.5f * (x1 - x2);
    return ((c3 * f + c2) * f + c1) * f + x1;
}

int16_t toSample(float v)
{
    const float scaled = std::clamp(v * 32768.0f, -32768.0f, 32767.0f);
    return static_cast<int16_t>(scaled < 0 ? scaled - 0.5f : scaled + 0.5f);
}

constexpr long decodeChunk = 4096;

}  // namespace

struct OggDecoder::State {
    OggVorbis_File file{};
    int channels = 0;
    // Per channel: its share of the left and right output, each side's
    // shares adding up to 1 so that the mix cannot clip.
    std::vector<float> toLeft, toRight;
    // Source frames mixed to stereo (interleaved), from frame bufferStart on.
    std::vector<float> buffer;
    int64_t bufferStart = 0;
    bool ended = false;

    int64_t bufferEnd() const { return bufferStart + static_cast<int64_t>(buffer.size() / 2); }
};

OggDecoder::OggDecoder() : state_(new State) {}

OggDecoder::~OggDecoder()
{
    close();
    delete state_;
}

bool OggDecoder::open(const std::string& path)
{
    close();
    if (ov_fopen(path.c_str(), &state_->file) != 0)
        return false;
    const vorbis_info* info = ov_info(&state_->file, -1);
    const ogg_int64_t total = ov_pcm_total(&state_->file, -1);
    if (info == nullptr || info->rate <= 0 || info->channels <= 0 || total < 0 || ov_seekable(&state_->file) == 0) {
        std::fprintf(stderr, "sound: %s is not a seekable OGG Vorbis file\n", path.c_str());
        ov_clear(&state_->file);
        return false;
    }
    State& s = *state_;
    s.channels = info->channels;
    s.toLeft.assign(static_cast<size_t>(s.channels), 0.0f);
    s.toRight.assign(static_cast<size_t>(s.channels), 0.0f);
    const char* roles = channelRoles(s.channels);
    float leftSum = 0.0f;
    float rightSum = 0.0f;
    for (size_t c = 0; c < s.toLeft.size(); ++c) {
        sideWeights(roles != nullptr ? roles[c] : 'm', s.toLeft[c], s.toRight[c]);
        leftSum += s.toLeft[c];
        rightSum += s.toRight[c];
    }
    for (size_t c = 0; c < s.toLeft.size(); ++c) {
        s.toLeft[c] /= leftSum;
        s.toRight[c] /= rightSum;
    }
    rate_ = info->rate;
    length_ = total * soundRate / rate_;
    open_ = true;
    return seekFrame(0);
}

void OggDecoder::close()
{
    if (open_)
        ov_clear(&state_->file);
    open_ = false;
    state_->buffer.clear();
    position_ = 0;
    length_ = 0;
}

bool OggDecoder::seekFrame(int64_t frame)
{
    if (!open_)
        return false;
    position_ = std::clamp<int64_t>(frame, 0, length_);
    // The interpolation needs the source frame before the first one used.
    const int64_t first = std::max<int64_t>(position_ * rate_ / soundRate - 1, 0);
    State& s = *state_;
    s.buffer.clear();
    s.bufferStart = first;
    s.ended = false;
    return ov_pcm_seek(&s.file, first) == 0;
}

bool OggDecoder::seekMilliseconds(int64_t ms) { return seekFrame(ms * soundRate / 1000); }

bool OggDecoder::bufferUpTo(int64_t last)
{
    State& s = *state_;
    while (!s.ended && s.bufferEnd() <= last) {
        float** pcm = nullptr;
        int section = 0;
        const long got = ov_read_float(&s.file, &pcm, static_cast<int>(decodeChunk), &section);
        if (got == OV_HOLE)
            continue;  // a gap in the stream: vorbisfile resumes after it
        if (got < 0)
            return false;
        if (got == 0) {
            s.ended = true;
            break;
        }
        const size_t at = s.buffer.size();
        s.buffer.resize(at + static_cast<size_t>(got) * 2, 0.0f);
        for (long i = 0; i < got; ++i) {
            float left = 0.0f;
            float right = 0.0f;
            for (int c = 0; c < s.channels; ++c) {
                left += s.toLeft[static_cast<size_t>(c)] * pcm[c][i];
                right += s.toRight[static_cast<size_t>(c)] * pcm[c][i];
            }
            s.buffer[at + static_cast<size_t>(i) * 2] = left;
            s.buffer[at + static_cast<size_t>(i) * 2 + 1] = right;
        }
    }
    return true;
}

float OggDecoder::sourceSample(int64_t frame, int channel) const
{
    const State& s = *state_;
    if (frame < s.bufferStart || frame >= s.bufferEnd())
        return 0.0f;
    return s.buffer[static_cast<size_t>(frame - s.bufferStart) * 2 + static_cast<size_t>(channel)];
}

long OggDecoder::read(int16_t* out, long frames)
{
    if (!open_)
        return 0;
    State& s = *state_;
    const long wanted = static_cast<long>(std::min<int64_t>(frames, length_ - position_));
    long written = 0;
    int64_t lastUsed = s.bufferStart;
    for (; written < wanted; ++written) {
        // Where this output frame lies in the file: frame index plus fraction.
        const int64_t exact = (position_ + written) * rate_;
        const int64_t index = exact / soundRate;
        const float f = static_cast<float>(exact % soundRate) / static_cast<float>(soundRate);
        if (!bufferUpTo(index + 2))
            return -1;
        if (index >= s.bufferEnd())
            break;  // the file ended before its stated length
        for (int c = 0; c < 2; ++c)
            out[written * 2 + c] = toSample(cubic(sourceSample(index - 1, c), sourceSample(index, c),
                                                  sourceSample(index + 1, c), sourceSample(index + 2, c), f));
        lastUsed = index;
    }
    position_ += written;
    // Keep the frame before the next one needed; drop what lies before it.
    const int64_t keepFrom = std::max(lastUsed - 1, s.bufferStart);
    s.buffer.erase(s.buffer.begin(), s.buffer.begin() + static_cast<long>((keepFrom - s.bufferStart) * 2));
    s.bufferStart = keepFrom;
    return written;
}

}  // namespace platform
