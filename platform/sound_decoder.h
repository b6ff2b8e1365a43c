#pragma once
// One OGG Vorbis file decoded to 16-bit stereo frames at 44100 Hz, whatever
// the file's own sample rate and channel count.
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
    // read, is not OGG Vorbis or cannot seek.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return open_; }

    // Moves the read position to frame `frame` of the 44100 Hz track exactly
    // (clamped to 0 and the end). False when nothing is open or the file
    // cannot seek there.
    bool seekFrame(int64_t frame);
    // seekFrame at ms milliseconds (ms x 44100 / 1000 frames).
    bool seekMilliseconds(int64_t ms);
    // Decodes up to `frames` interleaved stereo frames at 44100 Hz into out.
    // A track of another rate is resampled (cubic interpolation; a 44100 Hz
    // track comes out sample for sample); mono is doubled into both
    // channels, more than two channels are mixed down (Vorbis channel order,
    // centre and surrounds at -3 dB, LFE left out). Returns the frames
    // written: fewer than asked only at the end of the track; -1 on a
    // damaged stream.
    long read(int16_t* out, long frames);
    // Length of the track in 44100 Hz frames; 0 when nothing is open.
    int64_t lengthFrames() const { return length_; }
    // The 44100 Hz frame the next read begins with.
    int64_t positionFrame() const { return position_; }

private:
    struct State;
    // Decodes source frames until frame `last` of the file is buffered or
    // the file ends; false on a damaged stream.
    bool bufferUpTo(int64_t last);
    // One channel of a buffered source frame; 0 outside the file.
    float sourceSample(int64_t frame, int channel) const;

    State* state_;
    bool open_ = false;
    int64_t rate_ = soundRate;   // the file's frames a second
    int64_t position_ = 0;       // next 44100 Hz frame read hands out
    int64_t length_ = 0;
};

}  // namespace platform
