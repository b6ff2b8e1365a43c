// soundtrack: writes the show's music, and measures what the beat detector
// will make of a track.
//   soundtrack write OUT.ogg
//   soundtrack report OGG [--fps F]...   beats per second of the track
//   soundtrack trace OGG FROM TO STEP      peak and sum of the spectrum
//   soundtrack decode OGG MS FRAMES OUT.raw   what the decoder gives there
//   soundtrack find RECORDING.raw OGG MS    where the track at MS was heard
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "effects/beat_rule.h"
#include "platform/sound_decoder.h"
#include "platform/sound_spectrum.h"
#include "tools/soundtrack/arrangement.h"
#include "tools/soundtrack/ogg_writer.h"

namespace {

int write(const char* path)
{
    std::vector<float> left, right;
    renderTrack(left, right);
    if (!writeOgg(path, left, right, 0.5f, 0x5717))
        return std::fprintf(stderr, "soundtrack: cannot write %s\n", path), 1;
    return 0;
}

// Beats at a steady frame rate over the track: the count per 10 s and the
// spread of peak and sum on the frames that fired.
int report(const char* path, int fps)
{
    platform::TrackSpectrum track;
    if (!track.open(path))
        return std::fprintf(stderr, "soundtrack: cannot open %s\n", path), 1;
    BeatRule rule;
    std::vector<int> perTen(30, 0);
    int total = 0, first60 = 0;
    float lowestPeak = 2.0f, lowestSum = 1e9f, loudestQuiet = 0.0f;
    for (long frame = 0;; ++frame) {
        const int64_t ms = frame * 1000 / fps;
        const float* s = track.at(ms);
        if (s == nullptr)
            break;
        float peak = 0.0f, sum = 0.0f;
        for (int k = 0; k < platform::spectrumSize; ++k) {
            peak = peak > s[k] ? peak : s[k];
            sum += s[k];
        }
        if (rule.apply(peak, sum)) {
            ++total;
            first60 += ms < 60000;
            ++perTen[static_cast<size_t>(ms / 10000)];
            lowestPeak = peak < lowestPeak ? peak : lowestPeak;
            lowestSum = sum < lowestSum ? sum : lowestSum;
        } else if (peak > 0.92f && sum > loudestQuiet) {
            loudestQuiet = sum;
        }
    }
    std::printf("fps %d: %d beats, %d in the first 60 s; fired with peak >= %.3f, sum >= %.2f\n", fps, total,
                first60, lowestPeak, lowestSum);
    for (size_t i = 0; i < perTen.size(); ++i)
        std::printf("%s%3zu-%3zu s: %d", i % 5 == 0 ? "\n  " : "   ", i * 10, i * 10 + 10, perTen[i]);
    std::printf("\n");
    return 0;
}

// Peak and sum of the spectrum every `step` ms between two times.
int trace(const char* path, long from, long to, long step)
{
    platform::TrackSpectrum track;
    if (!track.open(path) || step <= 0)
        return std::fprintf(stderr, "soundtrack: cannot open %s\n", path), 1;
    for (long ms = from; ms <= to; ms += step) {
        const float* s = track.at(ms);
        if (s == nullptr)
            break;
        float peak = 0.0f, sum = 0.0f;
        int loudest = 0;
        for (int k = 0; k < platform::spectrumSize; ++k) {
            if (s[k] > peak) {
                peak = s[k];
                loudest = k;
            }
            sum += s[k];
        }
        std::printf("%7ld ms  peak %.3f at %3d  sum %6.2f\n", ms, peak, loudest, sum);
    }
    return 0;
}

// Where the decoder's frames at ms first occur in a raw 16-bit stereo
// recording (what the disk audio driver writes): prints the frame offset
// and how many frames from there match, or fails when they do not occur.
int find(const char* recording, const char* path, long ms)
{
    platform::OggDecoder decoder;
    constexpr long wanted = 4096;
    std::vector<int16_t> expected(wanted * 2);
    if (!decoder.open(path) || !decoder.seekMilliseconds(ms) || decoder.read(expected.data(), wanted) != wanted)
        return std::fprintf(stderr, "soundtrack: cannot decode %s at %ld ms\n", path, ms), 1;
    std::vector<int16_t> heard;
    if (std::FILE* file = std::fopen(recording, "rb")) {
        int16_t block[4096];
        size_t got;
        while ((got = std::fread(block, 2, 4096, file)) > 0)
            heard.insert(heard.end(), block, block + got);
        std::fclose(file);
    }
    for (size_t at = 0; at + 2 * 256 <= heard.size(); at += 2) {
        if (!std::equal(expected.begin(), expected.begin() + 2 * 256, heard.begin() + static_cast<long>(at)))
            continue;
        size_t same = 0;
        while (same < expected.size() && at + same < heard.size() && heard[at + same] == expected[same])
            ++same;
        std::printf("found at frame %zu, %zu frames match\n", at / 2, same / 2);
        return 0;
    }
    std::fprintf(stderr, "soundtrack: the track at %ld ms is not in %s (%zu frames)\n", ms, recording, heard.size() / 2);
    return 1;
}

int decode(const char* path, long ms, long frames, const char* out)
{
    platform::OggDecoder decoder;
    if (!decoder.open(path) || !decoder.seekMilliseconds(ms))
        return std::fprintf(stderr, "soundtrack: cannot decode %s at %ld ms\n", path, ms), 1;
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    const long got = decoder.read(samples.data(), frames);
    std::FILE* file = std::fopen(out, "wb");
    if (got < 0 || file == nullptr)
        return std::fprintf(stderr, "soundtrack: cannot write %s\n", out), 1;
    const bool ok = std::fwrite(samples.data(), 4, static_cast<size_t>(got), file) == static_cast<size_t>(got);
    return std::fclose(file) == 0 && ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "write") == 0)
        return write(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "report") == 0) {
        int status = 0;
        for (int i = 3; i + 1 < argc; i += 2)
            status |= report(argv[2], std::atoi(argv[i + 1]));
        return argc == 3 ? report(argv[2], 60) : status;
    }
    if (argc == 6 && std::strcmp(argv[1], "trace") == 0)
        return trace(argv[2], std::atol(argv[3]), std::atol(argv[4]), std::atol(argv[5]));
    if (argc == 5 && std::strcmp(argv[1], "find") == 0)
        return find(argv[2], argv[3], std::atol(argv[4]));
    if (argc == 6 && std::strcmp(argv[1], "decode") == 0)
        return decode(argv[2], std::atol(argv[3]), std::atol(argv[4]), argv[5]);
    std::fprintf(stderr, "usage: soundtrack write OUT.ogg | report OGG [--fps F]... | decode OGG MS FRAMES OUT.raw | find RECORDING.raw OGG MS\n");
    return 1;
}
