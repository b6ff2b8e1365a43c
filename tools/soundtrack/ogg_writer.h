#pragma once
// Encodes stereo float samples at 44100 Hz into an OGG Vorbis file.
#include <string>
#include <vector>

// left and right hold the same number of samples in -1..1. quality is
// libvorbisenc's VBR quality (-0.1 to 1.0); serial fixes the stream serial
// so that the same input always gives the same file. False when the file
// cannot be written or the encoder refuses the settings.
bool writeOgg(const std::string& path, const std::vector<float>& left, const std::vector<float>& right,
              float quality, int serial);
