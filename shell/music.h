#pragma once
// The music stream: one track played from a given position while the demo
// runs, and the spectrum of what is heard for the beat detector. The
// window's music operations (initSound, openMusic, setMusicTime, playMusic,
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
    // 512 magnitudes in 0..1, low to high frequencies, or null when no music
    // plays. Valid until the next call.
    virtual const float* spectrum() = 0;
};

// The music's spectrum: of what the sound device plays, or, after
// openOfflineMusic, of the offline track at the time set last.
SpectrumSource& musicSpectrum();

// Offline rendering: the spectrum comes from the track decoded at the time
// given by setOfflineMusicTime, and nothing is played. Marks sound as
// initialised so that the effect table builds the beat detector. False when
// the file cannot be opened.
bool openOfflineMusic(const char* file);
void setOfflineMusicTime(int32_t ms);
