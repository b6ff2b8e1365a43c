#pragma once
// One OGG Vorbis file decoded to 16-bit stereo frames at 44100 Hz.
#include <cstdint>
#include <string>

namespace platform {

constexpr int soundRate = 44100;

class OggDecoder {
public:
    OggDecoder();
    // Closes the file.
    ~OggDecoder();
    OggDecoder(const OggDecoder&) = delete;
    OggDecoder& operator=(const OggDecoder&) = delete;

    // Opens the file from disk. False (and nothing open) when it cannot be
    // read, is not OGG Vorbis, or is not mono or stereo at 44100 Hz.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return open_; }

    // Moves the read position to frame `frame` exactly (clamped to 0 and the
    // end). False when nothing is open or the file cannot seek there.
    bool seekFrame(int64_t frame);
    // seekFrame at ms milliseconds (ms x 44100 / 1000 frames).
    bool seekMilliseconds(int64_t ms);
    // Decodes up to `frames` interleaved stereo frames into out (mono files
    // are doubled into both channels). Returns the frames written: fewer
    // than asked only at the end of the track; -1 on a damaged stream.
    long read(int16_t* out, long frames);
    // Length of the track in frames; 0 when nothing is open.
    int64_t lengthFrames() const { return length_; }

private:
    struct State;
    State* state_;
    bool open_ = false;
    int channels_ = 0;
    int64_t length_ = 0;
};

}  // namespace platform
