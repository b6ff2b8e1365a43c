#pragma once
// The frame stages of a window's show frame: every frame drawn on the frame's
// samples, and the covers that end a frame (invert, fade, flash) drawn on its
// resolved pixels, which presentation and read-back resolve anyway: a cover
// then blends one sample a pixel instead of every sample.
#include "timeline/registry.h"

namespace platform {
class ShowFrame;
}

class WindowFrameStages : public FrameStages {
public:
    // Refers to frame, which must outlive the stages.
    explicit WindowFrameStages(platform::ShowFrame& frame) : frame_(frame) {}

    // Drawing back on the frame's samples when the last frame's covers moved
    // it to the resolved pixels.
    void beginFrame() override;
    // The frame resolved, drawing on the resolved pixels (nothing without
    // samples).
    void beforeCovers() override;

private:
    platform::ShowFrame& frame_;
};
