#pragma once
// Where in the track the listener is: estimated from the sound device's
// callbacks (which frames it took, and when) and the output latency.
#include <cstdint>
#include <deque>
#include <optional>

class HeardPosition {
public:
    // Callbacks the estimate averages over (about 0.4 s at 1024 frames a
    // callback): enough to smooth a waking thread's jitter, short enough
    // that a device running off the system clock's rate moves it at once.
    static constexpr size_t fitLength = 16;
    // A callback that disagrees with the average by more than this (a
    // stall, an underrun) starts a new average from itself.
    static constexpr double breakMs = 30.0;

    // Time from a callback to its first frame being heard.
    void setLatencyMs(double ms) { latencyMs_ = ms; }
    double latencyMs() const { return latencyMs_; }
    // Forgets every callback (after the stream was moved).
    void clear();
    // At steady time atMs the device took `frames` frames from track frame
    // firstFrame on (44100 a second).
    void addCallback(double atMs, int64_t firstFrame, int frames);
    // The track position in ms being heard at steady time nowMs: the
    // averaged position of the callbacks run on to nowMs, less the latency,
    // and never past what the device was given (plus one buffer of slack
    // for a late callback). None before the first callback.
    std::optional<double> at(double nowMs) const;

private:
    struct Sample {
        double offsetMs;  // track ms at the callback's start minus its steady ms
        double endMs;     // track ms at the end of what it took
    };
    std::deque<Sample> samples_;
    double offsetTotal_ = 0.0;
    double lastLengthMs_ = 0.0;
    double latencyMs_ = 0.0;
};
