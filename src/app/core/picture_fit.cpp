#include "app/core/picture_fit.h"

#include <cmath>

namespace tarnwick::app {

std::optional<TRect> DrawFitted(const TRect& clip, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return std::nullopt;
    // A clip of width or height 0 makes a ratio infinite; the rectangle then degenerates to
    // an empty one instead of failing.
    const double a = double(pictureWidth) / clip.Width();
    const double b = double(pictureHeight) / clip.Height();
    TRect target = clip;
    // nearbyint rounds in the default mode, to nearest with halves to even.
    if (a >= b) {
        const int c = int(std::nearbyint((clip.Height() - pictureHeight / a) / 2));
        target.Top += c;
        target.Bottom -= c;
    } else {
        const int c = int(std::nearbyint((clip.Width() - pictureWidth / b) / 2));
        target.Left += c;
        target.Right -= c;
    }
    return target;
}

} // namespace tarnwick::app
