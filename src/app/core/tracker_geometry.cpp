#include "app/core/tracker_geometry.h"

#include <algorithm>

namespace tarnwick::app {
namespace {

TRect Handle(int left, int top) {
    return {left, top, left + TrackerHandleSize, top + TrackerHandleSize};
}

bool Contains(const TRect& rect, int x, int y) {
    return x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom;
}

bool MovesLeft(TDragZone zone) {
    return zone == dzLeft || zone == dzTopLeft || zone == dzBottomLeft;
}
bool MovesRight(TDragZone zone) {
    return zone == dzRight || zone == dzTopRight || zone == dzBottomRight;
}
bool MovesTop(TDragZone zone) { return zone == dzTop || zone == dzTopLeft || zone == dzTopRight; }
bool MovesBottom(TDragZone zone) {
    return zone == dzBottom || zone == dzBottomLeft || zone == dzBottomRight;
}

// One axis of a drag: the near edge (left or top) at `low`, the far one at `high`, both in the
// parent's coordinates.
struct Span {
    int low;
    int high;
};

// Moves the near edge by `delta`, kept at least the minimum away from the far edge and, when
// the limit's edge would be crossed, at that edge. The far edge stays.
int MoveNearEdge(Span& span, int delta, std::optional<Span> limit) {
    int low = span.low + delta;
    if (limit) low = std::max(low, limit->low);
    // The minimum wins, also over a limit too narrow to hold it.
    low = std::min(low, span.high - TrackerMinimumSize);
    const int applied = low - span.low;
    span.low = low;
    return applied;
}

int MoveFarEdge(Span& span, int delta, std::optional<Span> limit) {
    int high = span.high + delta;
    if (limit) high = std::min(high, limit->high);
    high = std::max(high, span.low + TrackerMinimumSize);
    const int applied = high - span.high;
    span.high = high;
    return applied;
}

void MoveWhole(Span& span, int delta, std::optional<Span> limit) {
    const int extent = span.high - span.low;
    int low = span.low + delta;
    if (limit) low = std::max(std::min(low, limit->high - extent), limit->low);
    span = {low, low + extent};
}

// One axis of a drag step. The near edge and the whole tracker move the tracker's own
// coordinates along with the pointer, so the grab point stays; a far edge that moved by less
// than the pointer leaves the grab point where the edge is now.
void DragAxis(bool nearEdge, bool farEdge, bool whole, Span& span, int& last, int pointer,
              std::optional<Span> limit) {
    const int delta = pointer - last;
    if (whole) MoveWhole(span, delta, limit);
    if (nearEdge) MoveNearEdge(span, delta, limit);
    if (farEdge) last += MoveFarEdge(span, delta, limit);
}

} // namespace

int MiddleHandleOffset(int extent) { return extent / 2 - 3 + extent % 2; }

std::array<TRect, 8> TrackerHandles(int width, int height) {
    const int right = width - TrackerHandleSize;
    const int bottom = height - TrackerHandleSize;
    const int mx = MiddleHandleOffset(width);
    const int my = MiddleHandleOffset(height);
    return {Handle(0, 0),  Handle(right, 0),  Handle(0, bottom), Handle(right, bottom),
            Handle(0, my), Handle(right, my), Handle(mx, 0),     Handle(mx, bottom)};
}

TRect TrackerInnerRect(int width, int height) {
    return {TrackerFrameInset, TrackerFrameInset, width - TrackerFrameInset,
            height - TrackerFrameInset};
}

TRect TrackRect(const TBounds& bounds) {
    return {bounds.Left + TrackerFrameInset, bounds.Top + TrackerFrameInset,
            bounds.Right() - TrackerFrameInset, bounds.Bottom() - TrackerFrameInset};
}

TDragZone TrackerHitTest(int width, int height, int x, int y) {
    const auto handles = TrackerHandles(width, height);
    // Corners first (top-left, bottom-right, bottom-left, top-right), then the sides.
    const std::pair<int, TDragZone> order[] = {
        {0, dzTopLeft}, {3, dzBottomRight}, {2, dzBottomLeft}, {1, dzTopRight},
        {4, dzLeft},    {5, dzRight},       {6, dzTop},        {7, dzBottom},
    };
    for (const auto& [handle, zone] : order)
        if (Contains(handles[handle], x, y)) return zone;
    if (Contains(TrackerInnerRect(width, height), x, y)) return dzInside;
    return dzNone;
}

TTrackerCursor TrackerCursor(TDragZone zone) {
    switch (zone) {
    case dzLeft:
    case dzRight: return tcSizeHorizontal;
    case dzTop:
    case dzBottom: return tcSizeVertical;
    case dzTopRight:
    case dzBottomLeft: return tcSizeRising;
    case dzTopLeft:
    case dzBottomRight: return tcSizeFalling;
    case dzInside: return tcMove;
    case dzNone: break;
    }
    return tcArrow;
}

TTrackerDrag StartTrackerDrag(const TBounds& bounds, int x, int y) {
    return {TrackerHitTest(bounds.Width, bounds.Height, x, y), x, y, bounds};
}

TBounds DragTracker(TTrackerDrag& drag, const TBounds& bounds, int x, int y,
                    const std::optional<TBounds>& limit) {
    if (drag.Zone == dzNone) return bounds;
    Span horizontal{bounds.Left, bounds.Right()};
    Span vertical{bounds.Top, bounds.Bottom()};
    std::optional<Span> limitX, limitY;
    if (limit) {
        limitX = Span{limit->Left, limit->Right()};
        limitY = Span{limit->Top, limit->Bottom()};
    }
    const bool whole = drag.Zone == dzInside;
    DragAxis(MovesLeft(drag.Zone), MovesRight(drag.Zone), whole, horizontal, drag.LastX, x, limitX);
    DragAxis(MovesTop(drag.Zone), MovesBottom(drag.Zone), whole, vertical, drag.LastY, y, limitY);
    return {horizontal.low, vertical.low, horizontal.high - horizontal.low,
            vertical.high - vertical.low};
}

} // namespace tarnwick::app
