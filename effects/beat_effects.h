#pragma once
// The effects that follow the music: the beat detector, which finds beats in
// the spectrum and drives a list of other effects with them, and the noise
// overlay and screen inversion that react to its commands.
#include <array>
#include <memory>
#include <vector>

#include "effects/beat_counter.h"
#include "timeline/blend_effect.h"
#include "timeline/demo_random.h"
#include "timeline/effect.h"

class Texture;
class UnitQuad;

class EffectRegistry;
class SpectrumSource;

class BeatDetector : public Effect {
public:
    // Reads the spectrum from `source` and resolves target numbers in
    // `registry`; both must outlive the effect.
    explicit BeatDetector(SpectrumSource& source, EffectRegistry& registry);

    // The beat rule looks at the music every step of the reference rate
    // (1000 / 60 ms of demo time), however many frames are drawn; which
    // steps a frame looks at is BeatCounter's.
    static constexpr int64_t mostStepsAtOnce = BeatCounter::mostStepsAtOnce;

    // Switches the spectrum on, empties the history (ten zeros), re-arms the
    // beat rule and empties the targets. The clock is not reset.
    void start(int32_t time) override;
    // For every step of 1000 / 60 ms passed since the last frame (the step
    // at time t looks at the spectrum ending at t; without one nothing
    // happens): advances the history, applies the beat rule and sends 400
    // (beat, the step's time) to every target. Then 402 (sum) and 401
    // (history average) of the last step to every target in order.
    void render(int32_t time) override;
    // After the base table: 72 adds the effect at slot a0 to the targets
    // (nothing for an empty slot), 73 removes its first occurrence, 90
    // switches the spectrum display.
    void command(Command c) override;

    const std::vector<Effect*>& targets() const { return targets_; }
    float threshold() const { return counter_.threshold(); }

private:
    void drawSpectrum(const float* s, float sum, float average) const;
    // One step of the rule at `time`; false without a spectrum.
    bool step(int32_t time);

    SpectrumSource& source_;
    EffectRegistry& registry_;
    std::vector<Effect*> targets_;
    BeatCounter counter_;
    bool showSpectrum_ = false;
    const float* lastSpectrum_ = nullptr;  // the source's, valid until it is asked again
};

// A grey noise overlay whose opacity follows the loudness of the music.
// Four noise pictures are made at construction; in streaming mode a fresh
// picture is built a quarter per step of 1000 / 60 ms of demo time in a
// scratch texture and joins the four every fourth step. The noise draws
// from a random sequence of its own.
class NoiseEffect : public BlendEffect {
public:
    static constexpr int size = 512;

    // Makes "noise1" to "noise5" (size x size RGBA, nearest magnification)
    // and fills the first four with noise; opacity 0.5. Needs a GL context.
    NoiseEffect();
    ~NoiseEffect() override;

    // Opacity back to 0.5 and gain to 1; streaming stays as it was.
    void start(int32_t time) override;
    // Not streaming; the step count starts afresh.
    void rewind() override;
    // Streams a quarter for each step passed since the last frame (at most
    // four) when streaming, then draws the current picture over the screen
    // with the colour and opacity.
    void render(int32_t time) override;
    // After the base: 90 streaming on or off, 91 gain a0 / 100000, 118 and
    // 201 take the opacity from colorA, 402 (loudness a0) sets the opacity
    // to colorA + a0 x a0 x gain, at most 1.
    void command(Command c) override;

    float alpha() const { return alpha_; }
    float gain() const { return gain_; }
    bool streaming() const { return streaming_; }
    int index() const { return index_; }
    const Texture* frame(int i) const { return frames_[static_cast<size_t>(i)]; }
    const Texture* scratch() const { return scratch_; }
    const Texture* current() const { return current_; }

    // One step of noise generation: the whole picture of frames[index]
    // (not streaming) or the next quarter of the scratch texture.
    void fill();

private:
    void randomise(size_t firstPixel, size_t count);

    std::array<Texture*, 4> frames_{};
    Texture* scratch_ = nullptr;
    Texture* current_ = nullptr;
    std::vector<unsigned char> pixels_;
    int index_ = 0;
    bool streaming_ = false;
    int rowOffset_ = 0;
    size_t cursor_ = 0;
    RandomSequence random_;
    int64_t lastStep_ = -1;  // the step streamed last; -1: none yet
    float alpha_ = 0.5f;
    float gain_ = 1.0f;
};

// Inverts the screen for 100 ms on every beat (code 400 with the time).
class InvertEffect : public Effect {
public:
    InvertEffect();
    ~InvertEffect() override;

    // Colour 0: the screen is left as it is.
    void start(int32_t time) override;
    // Draws the colour with the blending c(1 - d) + d(1 - c): colour 1
    // inverts the screen, 0 leaves it.
    void render(int32_t time) override;
    // After the base: 400 starts a flash at a0 unless one is running.
    void command(Command c) override;

private:
    std::unique_ptr<UnitQuad> quad_;
};
