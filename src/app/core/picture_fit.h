#pragma once
// Where a picture goes when it is drawn scaled to fit and centred into a canvas.

#include <optional>

namespace tarnwick::app {

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0; // exclusive
    int Bottom = 0; // exclusive
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

// The largest rectangle of the picture's proportions centred in the clip rectangle: the
// picture spans the clip's full width (margins above and below) when it is relatively wider
// than the clip, else its full height (margins left and right). The margin is rounded to the
// nearest whole pixel, halves to even. Nothing when the picture has no pixels. The caller
// stretches the picture into the rectangle; the margins keep what was drawn before.
std::optional<TRect> DrawFitted(const TRect& clip, int pictureWidth, int pictureHeight);

} // namespace tarnwick::app
