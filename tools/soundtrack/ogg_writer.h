#pragma once
// Encodes float samples into an OGG Vorbis file.
#include <string>
#include <vector>

// channels holds one sample array per channel (in Vorbis channel order), all
// of the same length, in -1..1, at `rate` samples a second. quality is
// libvorbisenc's VBR quality (-0.1 to 1.0); serial fixes the stream serial
// so that the same input always gives the same file. False when the file
// cannot be written or the encoder refuses the settings.
bool writeOggChannels(const std::string& path, const std::vector<std::vector<float>>& channels, int rate,
                      float quality, int serial);

// Stereo at 44100 Hz: left and right as the two channels above.
bool writeOgg(const std::string& path, const std::vector<float>& left, const std::vector<float>& right,
              float quality, int serial);
