#pragma once
// The sound device (44100 Hz stereo) and the one music stream it plays.
// Decoding and mixing run on the device's own thread; the program talks to
// it only through these calls, all from the main thread.
#include <cstdint>
#include <string>
#include <vector>

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

// The one transport operation, taken under the device lock so that no
// buffer is played in between: the stream moves to ms (sample-exact,
// ms x 44100 / 1000 frames, clamped to the track), and plays from there, or
// stays silent there while held. Forgets the playback reports. False
// without an open stream.
bool soundTransport(int64_t ms, bool held);

// What the device took in one callback: at steadyNs (the steady clock's
// nanoseconds, as platform::steadyClock reads them without a shift) it was
// handed `frames` frames of the track from frame `firstFrame` on.
struct PlaybackReport {
    int64_t steadyNs = 0;
    int64_t firstFrame = 0;
    int frames = 0;
};

// Appends the reports of the callbacks since the last call (or since the
// last transport) to out, oldest first; the device keeps the latest 64.
// Returns whether the stream plays now: open, not held, not past its end.
bool soundTakeReports(std::vector<PlaybackReport>& out);

// How long after a callback its first frame is heard, in ms: the device's
// own buffer (none on the disk and dummy drivers, which hand the samples on
// at once) plus STILLWATER_AUDIO_LATENCY_MS from the environment, a known
// extra delay such as a Bluetooth headset's. 0 without a device.
double soundOutputLatencyMs();

}  // namespace platform
