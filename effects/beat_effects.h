#pragma once
// The effects that follow the music: the beat detector, which finds beats in
// the spectrum and drives a list of other effects with them, and the noise
// overlay and screen inversion that react to its commands.
#include <deque>
#include <vector>

#include "effects/beat_rule.h"
#include "timeline/effect.h"

class EffectRegistry;
class SpectrumSource;

class BeatDetector : public Effect {
public:
    // Reads the spectrum from `source` and resolves target numbers in
    // `registry`; both must outlive the effect.
    explicit BeatDetector(SpectrumSource& source, EffectRegistry& registry);

    // Switches the spectrum on, empties the history (ten zeros), re-arms the
    // beat rule and empties the targets. The clock is not reset.
    void start(int32_t time) override;
    // Reads the spectrum; without one nothing happens. Otherwise advances
    // the history, applies the beat rule and sends 400 (beat, time), then
    // 402 (sum) and 401 (history average) to every target in order.
    void render(int32_t time) override;
    // After the base table: 72 adds the effect at slot a0 to the targets
    // (nothing for an empty slot), 73 removes its first occurrence, 90
    // switches the spectrum display.
    void command(Command c) override;

    const std::vector<Effect*>& targets() const { return targets_; }
    float threshold() const { return rule_.threshold; }

private:
    void drawSpectrum(const float* s, float sum, float average) const;

    SpectrumSource& source_;
    EffectRegistry& registry_;
    std::vector<Effect*> targets_;
    std::deque<float> history_;
    int historyLength_ = 10;
    float historyTotal_ = 0.0f;
    BeatRule rule_;
    bool showSpectrum_ = false;
};
