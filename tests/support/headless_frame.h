#pragma once
// A headless window of any size with its context current and a 640 x 480
// show frame bound for drawing, for tests and benchmarks of the
// presentation. Made and released with each object.
#include <memory>

#include "platform/native_window.h"
#include "platform/show_frame.h"

class HeadlessFrame {
public:
    // The window of width x height on SDL's offscreen driver and the frame
    // with samples; made() tells whether both exist.
    HeadlessFrame(int width, int height, int samples);
    ~HeadlessFrame();
    HeadlessFrame(const HeadlessFrame&) = delete;
    HeadlessFrame& operator=(const HeadlessFrame&) = delete;

    bool made() const { return window_ != nullptr && frame_.created(); }
    platform::ShowFrame& frame() { return frame_; }

private:
    bool registered_ = false;
    std::unique_ptr<platform::NativeWindow> window_;
    platform::ShowFrame frame_;
};
