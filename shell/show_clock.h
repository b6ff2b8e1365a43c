#pragma once
// The demo time: smooth, from the steady clock, and kept on the music that
// is heard. Each frame reads the clock once (tick); between frames the time
// stands still.
#include <cstdint>
#include <optional>

#include "platform/clock.h"

class ShowClock {
public:
    // Below this the heard position counts as on time.
    static constexpr double toleranceMs = 2.0;
    // At most this share of a frame's elapsed time is added or taken to
    // move toward the heard position: 0.5 % is below what an eye sees.
    static constexpr double slewShare = 0.005;
    // Further apart than this the time steps (forward) or waits (when
    // ahead) instead of slewing.
    static constexpr double stepMs = 150.0;
    // A wait for the music to be heard ends after this much steady time
    // even when it never is (a stalled or missing device).
    static constexpr double waitLimitMs = 1000.0;

    // Reads `steady`, which must outlive the clock; time 0, playing.
    explicit ShowClock(const platform::Clock& steady);

    // The one transport operation: the time becomes ms, held there while
    // paused; when playing it stays at ms until the music is heard there
    // (see tick), so that picture and sound leave together.
    void moveTo(double ms, bool paused);
    // Reads the steady clock and returns the frame's time. musicPlays: the
    // music is playing; heardMs: the track position heard now, when known;
    // pace: track ms the device plays per steady ms. Running, the time moves
    // on by the elapsed steady time (at the device's pace while music
    // plays, so that a card off the system clock is followed smoothly),
    // slewed toward
    // heardMs by at most slewShare of it (nothing within toleranceMs); more
    // than stepMs behind the music it steps to it, more than stepMs ahead
    // it waits for it. Waiting (after moveTo, or ahead), it stands while
    // the music plays and is not yet heard there, at most waitLimitMs, and
    // goes on from where the music is. Never decreases except through
    // moveTo.
    double tick(std::optional<double> heardMs, bool musicPlays, double pace = 1.0);

    // The time of the last tick (or of moveTo since).
    double now() const { return time_; }
    bool paused() const { return paused_; }
    // Whether the time stands waiting for the music.
    bool waiting() const { return waiting_; }

private:
    double steadyMs() const;
    double approach(double elapsed, double heard, double pace);

    const platform::Clock* steady_;
    double time_ = 0.0;
    double lastSteadyMs_ = 0.0;
    double waitedMs_ = 0.0;
    bool paused_ = false;
    bool waiting_ = false;
};
