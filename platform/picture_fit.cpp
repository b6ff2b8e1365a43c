#include "platform/picture_fit.h"

#include <cstdint>

namespace platform {

PictureRect fitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight)
{
    PictureRect rect;
    if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return rect;
    const int64_t pw = pictureWidth;
    const int64_t ph = pictureHeight;
    const int64_t ww = windowWidth;
    const int64_t wh = windowHeight;
    if (ww * ph >= wh * pw) {
        // The window is wider than the picture: full height, bars at the sides.
        rect.height = windowHeight;
        rect.width = static_cast<int>((wh * pw + ph / 2) / ph);
    } else {
        rect.width = windowWidth;
        rect.height = static_cast<int>((ww * ph + pw / 2) / pw);
    }
    rect.x = (windowWidth - rect.width) / 2;
    rect.y = (windowHeight - rect.height) / 2;
    return rect;
}

}  // namespace platform
