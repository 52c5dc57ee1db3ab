#include "app/core/crop_geometry.h"
#include "app/core/tracker_geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick::app {
namespace {

TEST(RectTracker, HitTestAtEveryZoneEdge) {
    // 65 x 65: corners at 0..4 and 60..64, middle handles at 30..34, the inside 2..62.
    const struct {
        int x, y;
        TDragZone zone;
    } cases[] = {
        {0, 0, dzTopLeft},       {4, 4, dzTopLeft},       {5, 5, dzInside},    {5, 0, dzNone},
        {60, 60, dzBottomRight}, {64, 64, dzBottomRight}, {59, 59, dzInside},  {65, 64, dzNone},
        {0, 60, dzBottomLeft},   {4, 64, dzBottomLeft},   {60, 0, dzTopRight}, {64, 4, dzTopRight},
        {0, 30, dzLeft},         {4, 34, dzLeft},         {0, 29, dzNone},     {0, 35, dzNone},
        {2, 29, dzInside},       {60, 30, dzRight},       {64, 34, dzRight},   {64, 35, dzNone},
        {62, 20, dzInside},      {63, 20, dzNone},        {30, 0, dzTop},      {34, 4, dzTop},
        {35, 0, dzNone},         {29, 4, dzInside},       {30, 60, dzBottom},  {34, 64, dzBottom},
        {35, 64, dzNone},        {-1, 30, dzNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrackerHitTest(65, 65, c.x, c.y), c.zone) << c.x << "," << c.y;

    // Even sizes put the middle handle one pixel before the middle; at the minimum size the
    // corners cover the side handles.
    EXPECT_EQ(MiddleHandleOffset(64), 29);
    EXPECT_EQ(TrackerHitTest(64, 64, 29, 0), dzTop);
    EXPECT_EQ(TrackerHitTest(10, 10, 2, 0), dzTopLeft);
    EXPECT_EQ(TrackerHitTest(10, 10, 0, 5), dzBottomLeft);
}

TEST(RectTracker, PointerShapeFollowsTheZone) {
    const std::pair<TDragZone, TTrackerCursor> cases[] = {
        {dzLeft, tcSizeHorizontal}, {dzRight, tcSizeHorizontal},    {dzTop, tcSizeVertical},
        {dzBottom, tcSizeVertical}, {dzTopRight, tcSizeRising},     {dzBottomLeft, tcSizeRising},
        {dzTopLeft, tcSizeFalling}, {dzBottomRight, tcSizeFalling}, {dzInside, tcMove},
        {dzNone, tcArrow},
    };
    for (const auto& [zone, cursor] : cases)
        EXPECT_EQ(TrackerCursor(zone), cursor) << zone;
}

TEST(RectTracker, DragRules) {
    const TBounds start{100, 100, 65, 65};
    const std::optional<TBounds> none;
    const TBounds limit{90, 90, 100, 100}; // right and bottom edges at 190
    const struct {
        const char* what;
        int pressX, pressY, x, y;
        std::optional<TBounds> limit;
        TBounds expected;
        int lastX, lastY;
    } cases[] = {
        {"left out", 2, 32, -8, 32, none, {90, 100, 75, 65}, 2, 32},
        {"left in", 2, 32, 12, 32, none, {110, 100, 55, 65}, 2, 32},
        {"left past the minimum", 2, 32, 62, 32, none, {155, 100, 10, 65}, 2, 32},
        {"right out", 62, 32, 72, 32, none, {100, 100, 75, 65}, 72, 32},
        {"right past the minimum", 62, 32, 2, 32, none, {100, 100, 10, 65}, 7, 32},
        {"top out", 32, 2, 32, -8, none, {100, 90, 65, 75}, 32, 2},
        {"top past the minimum", 32, 2, 32, 90, none, {100, 155, 65, 10}, 32, 2},
        {"bottom out", 32, 62, 32, 72, none, {100, 100, 65, 75}, 32, 72},
        {"top-left", 2, 2, -3, 7, none, {95, 105, 70, 60}, 2, 2},
        {"top-left past the minimum", 2, 2, 62, 62, none, {155, 155, 10, 10}, 2, 2},
        {"top-right", 62, 2, 67, -3, none, {100, 95, 70, 70}, 67, 2},
        {"bottom-left", 2, 62, -3, 67, none, {95, 100, 70, 70}, 2, 67},
        {"bottom-right", 62, 62, 67, 67, none, {100, 100, 70, 70}, 67, 67},
        {"move", 20, 20, 27, 17, none, {107, 97, 65, 65}, 20, 20},
        {"outside the handles", 0, 20, 30, 30, none, start, 0, 20},
        {"left at the limit", 2, 32, -18, 32, limit, {90, 100, 75, 65}, 2, 32},
        {"right at the limit", 62, 32, 112, 32, limit, {100, 100, 90, 65}, 87, 32},
        {"bottom at the limit", 32, 62, 32, 112, limit, {100, 100, 65, 90}, 32, 87},
        {"move at the limit", 20, 20, 70, -30, limit, {125, 90, 65, 65}, 20, 20},
    };
    for (const auto& c : cases) {
        TTrackerDrag drag = StartTrackerDrag(start, c.pressX, c.pressY);
        EXPECT_EQ(drag.PressBounds, start);
        const TBounds moved = DragTracker(drag, start, c.x, c.y, c.limit);
        EXPECT_EQ(moved, c.expected) << c.what;
        EXPECT_EQ(drag.LastX, c.lastX) << c.what;
        EXPECT_EQ(drag.LastY, c.lastY) << c.what;
    }
}

TEST(RectTracker, AnEdgeThatStoppedFollowsThePointerOnlyOnceItIsBack) {
    const TBounds limit{90, 90, 100, 100};
    TBounds bounds{100, 100, 65, 65};
    TTrackerDrag drag = StartTrackerDrag(bounds, 62, 32); // the right edge, 3 pixels inside
    std::vector<int> rights;
    for (int x : {112, 100, 80, 70})
        rights.push_back((bounds = DragTracker(drag, bounds, x, 32, limit)).Right());
    // 190 is the limit; the pointer is back at the edge's grab point at x 87.
    EXPECT_EQ(rights, (std::vector<int>{190, 190, 183, 173}));

    // The left edge moves the tracker, so the pointer's own coordinates move with it.
    bounds = {100, 100, 65, 65};
    drag = StartTrackerDrag(bounds, 2, 32);
    bounds = DragTracker(drag, bounds, -18, 32, limit); // pointer at 82, edge stops at 90
    EXPECT_EQ(bounds.Left, 90);
    bounds = DragTracker(drag, bounds, 0, 32, limit); // pointer at 90: still short of the grab
    EXPECT_EQ(bounds.Left, 90);
    bounds = DragTracker(drag, bounds, 7, 32, limit); // pointer at 97: the edge follows
    EXPECT_EQ(bounds.Left, 95);
}

TEST(CropEditor, DisplayAreaAndSourceBands) {
    // A 720 x 576 picture fills the 370 x 253 preview by height, drawn at (27, 0, 343, 253).
    const TRect preview{0, 0, 370, 253};
    const TBounds pal = CropDisplayArea(*DrawFitted(preview, 720, 576), 8, 12);
    EXPECT_EQ(pal, (TBounds{8 + 28, 12 + 1, 314, 251}));
    // A 176 x 144 picture is enlarged into (30, 0, 340, 253).
    const TBounds qcif = CropDisplayArea(*DrawFitted(preview, 176, 144), 0, 0);
    EXPECT_EQ(qcif, (TBounds{31, 1, 308, 251}));

    const struct {
        int display, displayExtent, sourceExtent, source;
    } cases[] = {
        {10, 251, 576, 22},               // 22.95 rounds to 23, made even 22
        {50, 251, 144, 28},               // 28.69 rounds to 29, made even 28
        {0, 251, 576, 0},   {7, 7, 7, 6}, // 7 gives 6
        {5, 10, 5, 2},                    // 2.5 rounds to 2 (even)
        {7, 10, 5, 4},                    // 3.5 rounds to 4 (even)
        {10, 0, 576, 0},                  // no display: nothing to scale
    };
    for (const auto& c : cases)
        EXPECT_EQ(SourceBand(c.display, c.displayExtent, c.sourceExtent), c.source)
            << c.display << " of " << c.displayExtent;
}

TEST(CropEditor, OkStoresEvenBandsAndKeepsTheOnesLeftAlone) {
    const TBounds display{36, 13, 314, 251};
    for (const auto& [sourceWidth, sourceHeight] : {std::pair{720, 576}, {176, 144}}) {
        // Every display band stores an even band that shows close to it again: within a pixel,
        // or a pair of source lines where the picture is shown enlarged.
        const int tolerance = 1 + 2 * display.Height / sourceHeight;
        for (int band = 0; band <= display.Height - TrackerMinimumSize; ++band) {
            TlvFilesRecord row;
            StoreCrop(row, {band, 0, 0, 0}, sourceWidth, sourceHeight, display, 0);
            EXPECT_EQ(row.CropTop % 2, 0) << band;
            EXPECT_LE(std::abs(ScaleBand(row.CropTop, sourceHeight, display.Height) - band),
                      tolerance)
                << band;
        }
        // Opening the editor on any stored even band and pressing "Ok" keeps it.
        for (int stored = 0; stored < sourceHeight - 2; stored += 2) {
            TlvFilesRecord row;
            row.CropBottom = stored;
            const TCropBands shown = DisplayBandsOfRow(row, sourceWidth, sourceHeight, display);
            StoreCrop(row, shown, sourceWidth, sourceHeight, display, 0);
            EXPECT_EQ(row.CropBottom, stored) << sourceWidth;
        }
    }

    TlvFilesRecord row;
    row.CropLeft = 5; // odd, from an older edit: shown scaled, stored even
    row.ZoomMode = "ylbox";
    const TCropBands shown = DisplayBandsOfRow(row, 720, 576, display);
    EXPECT_EQ(shown, (TCropBands{0, 0, 2, 0}));
    StoreCrop(row, shown, 720, 576, display, ZoomIndexOfMode(row.ZoomMode));
    EXPECT_EQ(row.CropLeft, 4);
    EXPECT_EQ(row.ZoomMode, "lbox");

    // Opposite bands leave at least two lines: a tiny picture cannot be cropped away whole.
    StoreCrop(row, {120, 121, 0, 0}, 16, 16, display, 3);
    EXPECT_EQ(row.CropTop + row.CropBottom, 14);
    EXPECT_EQ(row.CropTop % 2 + row.CropBottom % 2, 0);
    EXPECT_EQ(row.ZoomMode, "orig");
}

TEST(CropEditor, ZoomModes) {
    const std::pair<const char*, int> cases[] = {
        {"lbox", 0}, {"cent", 1}, {"full", 2}, {"orig", 3}, {"ylbox", 0}, {"LBOX", 0}, {"", 0}};
    for (const auto& [mode, index] : cases)
        EXPECT_EQ(ZoomIndexOfMode(mode), index) << mode;
    EXPECT_EQ(ZoomModeOfIndex(2), "full");
    EXPECT_EQ(ZoomModeOfIndex(-1), "lbox");
}

TEST(CropEditor, TrackerAndBandsBothWays) {
    const TBounds display{36, 13, 314, 251};
    const TCropBands bands{10, 20, 30, 40};
    const TBounds tracker = TrackerOfBands(display, bands);
    EXPECT_EQ(tracker, (TBounds{66, 23, 244, 221}));
    EXPECT_EQ(BandsOfTracker(display, tracker), bands);
    // A tracker a little past the picture's edges leaves bands of 0, never negative ones.
    EXPECT_EQ(BandsOfTracker(display, {34, 11, 318, 255}), (TCropBands{}));
}

TEST(CropEditor, SpinEditsMoveTheTrackerDownToItsMinimum) {
    const TBounds display{36, 13, 314, 251};
    TCropBands last;
    TBounds tracker = display;

    // Up by one: the top moves, the bottom stays.
    TSpinChange change = ChangeSpinBand(csUp, {1, 0, 0, 0}, tracker, display, last);
    EXPECT_EQ(change.Value, 1);
    EXPECT_EQ(change.Tracker, (TBounds{36, 14, 314, 250}));
    EXPECT_EQ(last, (TCropBands{1, 0, 0, 0}));

    // The bottom band takes what leaves 11 lines, then one more step reaches the minimum of
    // 10 and a further step is refused (the spin edit goes back).
    tracker = change.Tracker;
    change = ChangeSpinBand(csDown, {1, 239, 0, 0}, tracker, display, last);
    EXPECT_EQ(change.Tracker.Height, 11);
    change = ChangeSpinBand(csUp, {2, 239, 0, 0}, change.Tracker, display, last);
    EXPECT_EQ(change.Value, 2);
    EXPECT_EQ(change.Tracker.Height, 10);
    change = ChangeSpinBand(csUp, {3, 239, 0, 0}, change.Tracker, display, last);
    EXPECT_EQ(change.Value, 2);
    EXPECT_EQ(change.Tracker.Height, 10);
    // A jump of ten (page up) stops at the minimum too.
    change = ChangeSpinBand(csLeft, {2, 239, 310, 0}, change.Tracker, display, last);
    EXPECT_EQ(change.Value, 314 - 10);
    EXPECT_EQ(change.Tracker, (TBounds{36 + 304, 13 + 2, 10, 10}));
    // Shrinking a band is always taken; a negative one is 0.
    change = ChangeSpinBand(csLeft, {2, 239, -4, 0}, change.Tracker, display, last);
    EXPECT_EQ(change.Value, 0);
    EXPECT_EQ(change.Tracker.Left, 36);
    EXPECT_EQ(change.Tracker.Width, 314);
}

} // namespace
} // namespace tarnwick::app
