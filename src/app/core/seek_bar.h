#pragma once
// The arithmetic of the preview seek bars: a bar of at most 32767 positions over the file's
// duration, and the clock that moves it one second of media per tick.

#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick::app {

struct TSeekBarSetup {
    int64_t Unit = 10;       // microseconds per position: the smallest power of ten from 10 up
                             // for which the duration fits into 32767 positions
    int32_t Maximum = 0;     // duration div Unit; 0 for an unknown or empty duration
    int32_t TickSpacing = 0; // positions between ticks, about one tick per 10 pixels
    int32_t LineStep = 1;    // 1000, 100, 10 or 1 by the size of Maximum
    int32_t PageStep = 5;    // five line steps
};

// The set-up for a bar of the given width in pixels over a duration in microseconds. A
// duration the library does not know (negative) gives an empty bar.
TSeekBarSetup SetUpSeekBar(int64_t durationUs, int barWidth);

// Positions the play clock adds per tick: the whole bar for files of a second or less, else
// one second of media.
int32_t PreviewTickAdvance(int32_t maximum, int64_t durationUs);

// One tick of the editors' play clock, which shows two pictures per tick: 100 positions on,
// then one more second of media (the whole bar for files of a second or less). A tick at the
// end goes back to the start and stops the clock.
struct TEditorClockTick {
    bool Stop = false;             // stop the clock (and count it as paused)
    std::optional<int32_t> Rewind; // the position to go back to before stopping
    int32_t Steps[2] = {0, 0};     // positions to set in turn, within the bar
    int StepCount = 0;
};
TEditorClockTick EditorClockTick(int32_t position, int32_t maximum, int64_t durationUs,
                                 bool paused);

// The preview's time label: "Time: " and the position's time in seconds with three decimals.
std::string PreviewTimeText(int32_t position, int64_t unit);

} // namespace tarnwick::app
