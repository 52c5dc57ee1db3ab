#include "app/core/seek_bar.h"

#include "app/core/time_text.h"

#include <algorithm>

namespace tarnwick::app {

TSeekBarSetup SetUpSeekBar(int64_t durationUs, int barWidth) {
    TSeekBarSetup setup;
    const int64_t duration = std::max<int64_t>(durationUs, 0);
    int64_t steps = duration / setup.Unit;
    while (steps > 32767) {
        setup.Unit *= 10;
        steps = duration / setup.Unit;
    }
    setup.Maximum = static_cast<int32_t>(steps);
    // A bar narrower than 22 pixels has no room for ticks; one per position then.
    const int tickSlots = std::max((barWidth - 12) / 10, 1);
    setup.TickSpacing = setup.Maximum / tickSlots;
    setup.LineStep = setup.Maximum > 10000  ? 1000
                     : setup.Maximum > 1000 ? 100
                     : setup.Maximum > 100  ? 10
                                            : 1;
    setup.PageStep = 5 * setup.LineStep;
    return setup;
}

int32_t PreviewTickAdvance(int32_t maximum, int64_t durationUs) {
    if (durationUs <= 1000000) return maximum;
    return static_cast<int32_t>(maximum / (durationUs / 1000000));
}

TEditorClockTick EditorClockTick(int32_t position, int32_t maximum, int64_t durationUs,
                                 bool paused) {
    TEditorClockTick tick;
    if (position == maximum) {
        tick.Rewind = 0;
        tick.Stop = true;
        return tick;
    }
    if (paused) {
        tick.Stop = true;
        return tick;
    }
    if (maximum <= 0) return tick;
    const int32_t first = std::min(position + 100, maximum);
    const int64_t second = int64_t{first} + PreviewTickAdvance(maximum, durationUs);
    tick.Steps[0] = first;
    tick.Steps[1] = static_cast<int32_t>(std::min<int64_t>(second, maximum));
    tick.StepCount = 2;
    return tick;
}

std::string PreviewTimeText(int32_t position, int64_t unit) {
    return "Time: " + FormatSecondsMs(int64_t{position} * unit);
}

} // namespace tarnwick::app
