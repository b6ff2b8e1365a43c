#pragma once
// The music stream: one track played from a given position while the demo
// runs, and the spectrum of the track for the beat detector. The window's
// music operations (initSound, openMusic, transport, pause, advanceTime,
// closeSound) are declared in glwindow.h and defined with these.
#include <cstdint>

// True once the sound system has been initialised (or offline music opened
// for rendering); stays true after closeSound.
bool soundInitialised();

// Where the beat detector reads the music's spectrum.
class SpectrumSource {
public:
    virtual ~SpectrumSource() = default;
    // Switches spectrum analysis on; called when the beat detector starts.
    virtual void activate() {}
    // 512 magnitudes in 0..1, low to high frequencies, of the 1024 frames
    // of the track ending at demo time ms (zeros before the track's start
    // and after its end), or null when there is no music. Valid until the
    // next call.
    virtual const float* spectrum(int32_t ms) = 0;
};

// The spectrum of the open music, whether it is played (openMusic) or only
// read (openOfflineMusic): the same window of the track at the same time,
// so the live beats are those of a rendered video.
SpectrumSource& musicSpectrum();

// Offline rendering: the spectrum comes from the track, and nothing is
// played. Marks sound as initialised so that the effect table builds the
// beat detector. False when the file cannot be opened.
bool openOfflineMusic(const char* file);
