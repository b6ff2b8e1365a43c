#include "tests/support/headless_frame.h"

HeadlessFrame::HeadlessFrame(int width, int height, int samples)
{
    platform::requestHeadlessVideo();
    registered_ = platform::registerWindowClass();
    platform::WindowRequest request;
    request.title = "stillwater headless";
    request.width = width;
    request.height = height;
    platform::WindowFailure failure = platform::WindowFailure::none;
    if (registered_)
        window_ = platform::NativeWindow::create(request, failure);
    if (window_ != nullptr && frame_.create(640, 480, samples))
        frame_.bindForDrawing();
}

HeadlessFrame::~HeadlessFrame()
{
    frame_.release();
    window_.reset();
    if (registered_)
        platform::unregisterWindowClass();
}
