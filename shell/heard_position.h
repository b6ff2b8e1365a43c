#pragma once
// Where in the track the listener is: estimated from the sound device's
// callbacks (which frames it took, and when) and the output latency, and
// how fast the device plays against the steady clock.
#include <cstdint>
#include <deque>
#include <optional>

class HeardPosition {
public:
    // Callbacks the estimate is fitted over (about 3 s at 1024 frames a
    // callback): enough to smooth a waking thread's jitter and to measure
    // the device's pace to a fraction of a per mille.
    static constexpr size_t fitLength = 128;
    // Below this many callbacks the pace is taken as nominal and only the
    // offset is averaged.
    static constexpr size_t paceFromCallbacks = 16;
    // A callback that disagrees with the fit by more than this (a stall, an
    // underrun) starts a new fit from itself.
    static constexpr double breakMs = 30.0;

    // Time from a callback to its first frame being heard.
    void setLatencyMs(double ms) { latencyMs_ = ms; }
    double latencyMs() const { return latencyMs_; }
    // Forgets every callback (after the stream was moved).
    void clear();
    // At steady time atMs the device took `frames` frames from track frame
    // firstFrame on (44100 a second).
    void addCallback(double atMs, int64_t firstFrame, int frames);
    // The track position in ms being heard at steady time nowMs: the line
    // fitted through the callbacks run on to nowMs, less the latency, and
    // never past what the device was given (plus one buffer of slack for a
    // late callback). None before the first callback.
    std::optional<double> at(double nowMs) const;
    // Track ms the device plays per steady ms: the fitted pace, within 0.9
    // to 1.1; 1 until enough callbacks were seen.
    double pace() const;

private:
    struct Sample {
        double atMs;     // steady time of the callback
        double trackMs;  // track position at its start
    };
    // The line through the callbacks: the mean steady time, the mean track
    // position and the pace (1 below paceFromCallbacks callbacks).
    struct Fit {
        double meanT = 0.0;
        double meanY = 0.0;
        double pace = 1.0;
        double at(double t) const { return meanY + pace * (t - meanT); }
    };
    // The fit through the callbacks now held; at least one is held.
    Fit fit() const;

    std::deque<Sample> samples_;
    double givenMs_ = 0.0;      // track ms at the end of the last buffer given
    double lastLengthMs_ = 0.0;
    double latencyMs_ = 0.0;
};
