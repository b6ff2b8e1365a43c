#pragma once
// The sound device (44100 Hz stereo) and the one music stream it plays.
// Decoding and mixing run on the device's own thread; the program talks to
// it only through these calls, all from the main thread.
#include <cstdint>
#include <string>

namespace platform {

// Opens the audio device. True when it is ready (also when it already was).
bool soundInit();
// Stops playback, closes the stream and the device. Safe when nothing is open.
void soundClose();
bool soundReady();

// Opens a music file from disk as the stream, replacing any open one, at
// position 0 and not playing. False, with no stream open, when the device
// is not ready or the file is not a playable track.
bool soundOpenStream(const std::string& path);
void soundCloseStream();
// Sets where the next playback starts, sample-exact (ms x 44100 / 1000
// frames); stops a running playback. False without an open stream.
bool soundSetStreamTime(int64_t ms);
// Starts playback from the position set last. False without an open stream.
bool soundPlayStream();
// Holds or resumes playback where it stands.
void soundPauseStream(bool paused);

// The spectrum (512 values, see SpectrumAnalyser) of the last 1024 frames
// the device was given; false, leaving out alone, when no stream is playing.
bool soundSpectrum(float* out);

}  // namespace platform
