#pragma once
// Where a picture of a fixed aspect goes in a window of any size: as large as
// fits, centred, never stretched or cropped; what is left are the bars.

namespace platform {

struct PictureRect {
    int x = 0;  // from the window's left edge
    int y = 0;  // from the window's bottom edge, as GL counts
    int width = 0;
    int height = 0;
};

// The largest rectangle with the aspect pictureWidth : pictureHeight that
// fits windowWidth x windowHeight, centred (bars left and right on a wider
// window, above and below on a taller one; sizes rounded to whole pixels).
// Empty when either size is not positive.
PictureRect fitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

}  // namespace platform
