#include "timeline/window_frame_stages.h"

#include "platform/show_frame.h"

void WindowFrameStages::beginFrame()
{
    if (frame_.drawingOnResolved())
        frame_.bindForDrawing();
}

void WindowFrameStages::beforeCovers() { frame_.drawOnResolved(); }
