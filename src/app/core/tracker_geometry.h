#pragma once
// The geometry of the rectangle tracker, a rubber band the user drags by its eight handles or
// its body: where the handles are, which zone a point hits, how a drag changes the bounds and
// which pointer shape a zone shows. The tracker is never smaller than 10 x 10 pixels.

#include "app/core/picture_fit.h"

#include <array>
#include <optional>

namespace tarnwick::app {

inline constexpr int TrackerMinimumSize = 10;
inline constexpr int TrackerHandleSize = 5;
// The dotted rectangle runs this far inside the tracker's bounds.
inline constexpr int TrackerFrameInset = 2;

// Position and size in the parent's coordinates.
struct TBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const TBounds&) const = default;
};

// The hit-test zones, in the order the tracker names them.
enum TDragZone {
    dzLeft,
    dzRight,
    dzTop,
    dzBottom,
    dzTopLeft,
    dzTopRight,
    dzBottomLeft,
    dzBottomRight,
    dzInside,
    dzNone
};

enum TTrackerCursor {
    tcArrow,
    tcSizeHorizontal,
    tcSizeVertical,
    tcSizeRising,  // the diagonal from bottom left to top right
    tcSizeFalling, // the diagonal from top left to bottom right
    tcMove
};

// Left or top of a side's middle handle for a tracker `extent` pixels wide or high.
int MiddleHandleOffset(int extent);
// The eight handles in the tracker's own coordinates: the four corners, then the middles of
// the left, right, top and bottom side.
std::array<TRect, 8> TrackerHandles(int width, int height);
// The dotted rectangle in the tracker's own coordinates; a press inside it moves the tracker.
TRect TrackerInnerRect(int width, int height);
// The dotted rectangle in the parent's coordinates.
TRect TrackRect(const TBounds& bounds);

// The zone under a point of the tracker's own area; corners win over sides, handles over the
// inside. Each rectangle holds its left and top edge but not its right and bottom one.
TDragZone TrackerHitTest(int width, int height, int x, int y);
TTrackerCursor TrackerCursor(TDragZone zone);

// A drag from press to release. LastX and LastY are the grab point in the tracker's own
// coordinates; -1 when no drag goes on.
struct TTrackerDrag {
    TDragZone Zone = dzNone;
    int LastX = -1;
    int LastY = -1;
    TBounds PressBounds;
};

TTrackerDrag StartTrackerDrag(const TBounds& bounds, int x, int y);

// One pointer move of a drag, (x, y) in the tracker's coordinates: the dragged edges follow
// the pointer, the others stay where they are. An edge stops where the tracker would get
// smaller than its minimum and, when a limit is given, at the limit's edge; a move keeps the
// size and stops at the limit's edges. The grab point keeps its place on the dragged edge, so
// an edge that stopped follows the pointer again only once the pointer is back at it.
TBounds DragTracker(TTrackerDrag& drag, const TBounds& bounds, int x, int y,
                    const std::optional<TBounds>& limit);

} // namespace tarnwick::app
