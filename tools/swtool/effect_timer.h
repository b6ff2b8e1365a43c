#pragma once
// Times every effect's prerender and render inside a frame. glFinish on
// both sides of each makes the GL work it queued count to it, not to the
// effect that happens to wait for the pipeline next.
#include <array>
#include <chrono>
#include <cstdint>

#include "timeline/registry.h"

class EffectTimer final : public RenderProbe {
public:
    static constexpr int places = EffectRegistry::size;

    // Forgets the previous frame's figures.
    void beginFrame();
    void enter(int place, Stage stage) override;
    void leave(int place, Stage stage) override;

    // Milliseconds the effect at place took in this frame (prerender and
    // render together); 0 for effects that did not run.
    double millisecondsOf(int place) const { return spent_[static_cast<size_t>(place)]; }
    // Bit n set when the effect at n ran in this frame.
    uint64_t activeMask() const { return active_; }

private:
    std::chrono::steady_clock::time_point entered_;
    std::array<double, places> spent_{};
    uint64_t active_ = 0;
};
