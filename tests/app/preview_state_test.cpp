#include "app/core/preview_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick::app {
namespace {

// Controls written as the letters of the usable ones: Play, pAuse, Stop, sNapshot, Bar,
// plaCeholder.
std::string Letters(const TPreviewControls& c) {
    std::string text;
    if (c.Play) text += 'P';
    if (c.Pause) text += 'A';
    if (c.Stop) text += 'S';
    if (c.Snapshot) text += 'N';
    if (c.SeekBar) text += 'B';
    if (c.Placeholder) text += 'C';
    return text;
}

struct Step {
    const char* action;
    const char* controls;
    bool stopped;
    bool paused;
};

void Apply(TPreviewState& state, const std::string& action) {
    if (action == "start")
        state.Started();
    else if (action == "stop")
        state.Stop();
    else if (action == "pause")
        state.Pause();
    else if (action == "resume")
        EXPECT_TRUE(state.Resume());
    else if (action == "end")
        state.Ended();
    else if (action == "tick")
        state.Tick();
    else
        FAIL() << action;
}

TEST(PreviewState, ControlsInEveryState) {
    const std::vector<std::vector<Step>> walks = {
        // Window show, then a row is previewed, paused, resumed and stopped.
        {{"tick", "PBC", true, false},
         {"start", "ASNB", false, false},
         {"tick", "ASNB", false, false},
         {"pause", "PSNB", false, true},
         {"tick", "PSNB", false, true},
         {"resume", "PASNB", false, false},
         {"stop", "PC", true, false},
         {"tick", "PC", true, false}},
        // The end of the file: stopped at once, the last picture can still be saved, the next
        // tick offers Play again.
        {{"start", "ASNB", false, false},
         {"end", "ASNB", true, false},
         {"tick", "PNB", true, false},
         {"start", "ASNB", false, false}},
        // Stop while paused, and the clear of the list after the end (stop changes nothing
        // then).
        {{"start", "ASNB", false, false},
         {"pause", "PSNB", false, true},
         {"stop", "PC", true, false},
         {"start", "ASNB", false, false},
         {"end", "ASNB", true, false},
         {"stop", "ASNB", true, false}},
    };
    for (const auto& walk : walks) {
        TPreviewState state;
        std::string trail;
        for (const Step& step : walk) {
            trail += std::string(" ") + step.action;
            Apply(state, step.action);
            EXPECT_EQ(Letters(state.Controls()), step.controls) << trail;
            EXPECT_EQ(state.Stopped(), step.stopped) << trail;
            EXPECT_EQ(state.Paused(), step.paused) << trail;
        }
    }
}

TEST(PreviewState, StopAndResumeSayWhetherTheyActed) {
    TPreviewState state;
    EXPECT_FALSE(state.Stop());
    EXPECT_FALSE(state.Resume()); // not paused: the caller previews the row instead
    EXPECT_TRUE(state.Tick());
    state.Started();
    EXPECT_FALSE(state.Tick());
    EXPECT_FALSE(state.Resume());
    EXPECT_TRUE(state.Stop());
}

} // namespace
} // namespace tarnwick::app
