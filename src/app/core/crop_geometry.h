#pragma once
// The crop editor's arithmetic: the four bands in display pixels (what the spin edits and the
// tracker over the shown picture say) and in source pixels (what the row stores and the run
// crops), and the rules that keep spin edits and tracker in step.

#include "app/core/task_row.h"
#include "app/core/tracker_geometry.h"

#include <string>

namespace tarnwick::app {

struct TCropBands {
    int Up = 0;
    int Down = 0;
    int Left = 0;
    int Right = 0;
    bool operator==(const TCropBands&) const = default;
};

enum TCropSide { csUp, csDown, csLeft, csRight };

// Where the picture is shown, in the tracker's coordinates: the rectangle the preview drew it
// into, one pixel inside on every side, moved by the preview's position.
TBounds CropDisplayArea(const TRect& drawn, int previewLeft, int previewTop);

// A band scaled from one picture size to another, rounded to the nearest pixel, halves to
// even. Nothing scales from an empty extent.
int ScaleBand(int band, int fromExtent, int toExtent);
// A display band in source pixels, made even by dropping the odd pixel (7 gives 6), since the
// engine crops whole pairs of lines.
int SourceBand(int displayBand, int displayExtent, int sourceExtent);

// The row's stored bands in display pixels.
TCropBands DisplayBandsOfRow(const TlvFilesRecord& row, int sourceWidth, int sourceHeight,
                             const TBounds& display);
// The tracker that leaves the bands free, and the bands a tracker leaves (never negative).
TBounds TrackerOfBands(const TBounds& display, const TCropBands& bands);
TCropBands BandsOfTracker(const TBounds& display, const TBounds& tracker);

// A spin edit changed to `values` (the four spin values, the changed one included). A band
// that grows stops where the tracker would get smaller than its minimum; `last` holds the
// values of the last accepted change. Returns the accepted value of the changed side (the spin
// edit is set back to it when it differs) and moves the tracker to match.
struct TSpinChange {
    int Value = 0;
    TBounds Tracker;
};
TSpinChange ChangeSpinBand(TCropSide side, const TCropBands& values, const TBounds& tracker,
                           const TBounds& display, TCropBands& last);

// The zoom choice for a row's picture fit ("lbox", "cent", "full", "orig" are 0 to 3; any
// other text is 0), and back.
int ZoomIndexOfMode(const std::string& zoomMode);
std::string ZoomModeOfIndex(int zoomIndex);

// "Ok": the display bands in even source pixels, and the zoom choice, into the row. A band
// still at the display value the row's band was shown as keeps the stored band (made even),
// so opening the editor and pressing "Ok" changes nothing. Opposite bands always leave at
// least two lines of the picture.
void StoreCrop(TlvFilesRecord& row, const TCropBands& displayBands, int sourceWidth,
               int sourceHeight, const TBounds& display, int zoomIndex);

} // namespace tarnwick::app
