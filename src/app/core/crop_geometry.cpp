#include "app/core/crop_geometry.h"

#include <algorithm>
#include <cmath>

namespace tarnwick::app {
namespace {

constexpr const char* ZoomModes[] = {"lbox", "cent", "full", "orig"};

// The band of `side` and the one facing it.
int& Band(TCropBands& bands, TCropSide side) {
    switch (side) {
    case csUp: return bands.Up;
    case csDown: return bands.Down;
    case csLeft: return bands.Left;
    case csRight: break;
    }
    return bands.Right;
}
TCropSide Opposite(TCropSide side) {
    switch (side) {
    case csUp: return csDown;
    case csDown: return csUp;
    case csLeft: return csRight;
    case csRight: break;
    }
    return csLeft;
}

// Opposite source bands that would leave fewer than two lines of the picture give up pairs of
// lines, the larger band first: the engine refuses a crop that takes the whole picture.
void LeaveTwoLines(int32_t& near, int32_t& far, int sourceExtent) {
    while (near + far > 0 && near + far > sourceExtent - 2) {
        int32_t& larger = near >= far ? near : far;
        larger -= 2;
    }
}

} // namespace

TBounds CropDisplayArea(const TRect& drawn, int previewLeft, int previewTop) {
    return {previewLeft + drawn.Left + 1, previewTop + drawn.Top + 1, drawn.Width() - 2,
            drawn.Height() - 2};
}

int ScaleBand(int band, int fromExtent, int toExtent) {
    if (band == 0 || fromExtent <= 0) return 0;
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int>(std::nearbyint(double(band) * toExtent / fromExtent));
}

int SourceBand(int displayBand, int displayExtent, int sourceExtent) {
    return ScaleBand(displayBand, displayExtent, sourceExtent) / 2 * 2;
}

TCropBands DisplayBandsOfRow(const TlvFilesRecord& row, int sourceWidth, int sourceHeight,
                             const TBounds& display) {
    return {ScaleBand(row.CropTop, sourceHeight, display.Height),
            ScaleBand(row.CropBottom, sourceHeight, display.Height),
            ScaleBand(row.CropLeft, sourceWidth, display.Width),
            ScaleBand(row.CropRight, sourceWidth, display.Width)};
}

TBounds TrackerOfBands(const TBounds& display, const TCropBands& bands) {
    return {display.Left + bands.Left, display.Top + bands.Up,
            display.Width - bands.Right - bands.Left, display.Height - bands.Down - bands.Up};
}

TCropBands BandsOfTracker(const TBounds& display, const TBounds& tracker) {
    return {
        std::max(tracker.Top - display.Top, 0), std::max(display.Bottom() - tracker.Bottom(), 0),
        std::max(tracker.Left - display.Left, 0), std::max(display.Right() - tracker.Right(), 0)};
}

TSpinChange ChangeSpinBand(TCropSide side, const TCropBands& values, const TBounds& tracker,
                           const TBounds& display, TCropBands& last) {
    TCropBands bands = values;
    int& band = Band(bands, side);
    const bool vertical = side == csUp || side == csDown;
    const int extent = vertical ? display.Height : display.Width;
    // A growing band takes at most what leaves the tracker its minimum size; a tracker at its
    // minimum cannot lose more.
    if (band > Band(last, side)) {
        const int room = extent - Band(bands, Opposite(side)) - TrackerMinimumSize;
        band = std::min(band, std::max(room, Band(last, side)));
    }
    band = std::max(band, 0);

    TSpinChange change{band, tracker};
    if (vertical) {
        change.Tracker.Top = display.Top + bands.Up;
        change.Tracker.Height = display.Height - bands.Down - bands.Up;
    } else {
        change.Tracker.Left = display.Left + bands.Left;
        change.Tracker.Width = display.Width - bands.Right - bands.Left;
    }
    Band(last, side) = band;
    Band(last, Opposite(side)) = Band(bands, Opposite(side));
    return change;
}

int ZoomIndexOfMode(const std::string& zoomMode) {
    for (int i = 0; i < 4; ++i)
        if (zoomMode == ZoomModes[i]) return i;
    return 0;
}

std::string ZoomModeOfIndex(int zoomIndex) {
    return zoomIndex >= 0 && zoomIndex < 4 ? ZoomModes[zoomIndex] : ZoomModes[0];
}

void StoreCrop(TlvFilesRecord& row, const TCropBands& displayBands, int sourceWidth,
               int sourceHeight, const TBounds& display, int zoomIndex) {
    // A band the user left as it was shown keeps its stored value: scaled there and back it
    // could come out a pair of lines smaller.
    auto store = [](int32_t& stored, int displayBand, int displayExtent, int sourceExtent) {
        if (ScaleBand(stored, sourceExtent, displayExtent) == displayBand)
            stored = stored / 2 * 2;
        else
            stored = SourceBand(displayBand, displayExtent, sourceExtent);
    };
    store(row.CropTop, displayBands.Up, display.Height, sourceHeight);
    store(row.CropBottom, displayBands.Down, display.Height, sourceHeight);
    store(row.CropLeft, displayBands.Left, display.Width, sourceWidth);
    store(row.CropRight, displayBands.Right, display.Width, sourceWidth);
    LeaveTwoLines(row.CropTop, row.CropBottom, sourceHeight);
    LeaveTwoLines(row.CropLeft, row.CropRight, sourceWidth);
    row.ZoomMode = ZoomModeOfIndex(zoomIndex);
}

} // namespace tarnwick::app
