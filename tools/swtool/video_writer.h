#pragma once
// Writes rendered frames, and optionally the music under them, as one video
// file through FFmpeg's libraries: H.264 with AAC in MP4 or Matroska, VP9
// with Vorbis in WebM, chosen by the file's extension.
#include <cstdint>
#include <memory>
#include <string>

struct VideoSettings {
    int width = 640;
    int height = 480;
    int fps = 60;
    int crf = -1;         // constant quality (lower is better); -1: the codec's default for the format
    int bitrateKbps = 0;  // a target bitrate instead of constant quality
    bool withAudio = false;
    int audioRate = 44100;  // stereo, 16-bit input
};

// Whether the file name's extension names a container this writer makes.
bool videoFormatKnown(const std::string& path);

class VideoWriter {
public:
    VideoWriter();
    // Finishes nothing: call finish to get a playable file.
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Creates the file and its streams. False, with a message on standard
    // error, for an unknown extension, a missing encoder or an unwritable
    // file.
    bool open(const std::string& path, const VideoSettings& settings);
    // Adds the next frame: width x height RGB, top row first. Frame n is
    // shown at n / fps seconds.
    bool writeFrame(const uint8_t* rgb);
    // Adds the next `frames` interleaved stereo samples; the first sample
    // plays with the first frame.
    bool writeAudio(const int16_t* samples, long frames);
    // Flushes the encoders and closes the file.
    bool finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};
