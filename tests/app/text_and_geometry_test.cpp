#include "app/core/picture_fit.h"
#include "app/core/seek_bar.h"
#include "app/core/time_text.h"

#include <gtest/gtest.h>

namespace tarnwick::app {
namespace {

TEST(TimeText, Formats) {
    EXPECT_EQ(FormatSecondsMs(90040000), "90.040");
    EXPECT_EQ(FormatSecondsMs(12340000), "12.340");
    EXPECT_EQ(FormatSecondsMs(999), "0.000");
    EXPECT_EQ(FormatHHMMSS(3723000000), "010203");
    EXPECT_EQ(FormatHHMMSS(90500000), "000130");
    EXPECT_EQ(FormatHHMMSS(0), "000000");
}

TEST(TimeText, ParseHHMMSS) {
    const struct {
        const char* text;
        int hours, minutes, seconds;
        int64_t ms;
    } cases[] = {
        {"000000", 0, 0, 0, 0},
        {"010203", 1, 2, 3, 3723000},
        {"007500", 0, 75, 0, 4500000}, // read as typed; the editor rejects the minutes
        {"  1234", 0, 12, 34, 754000}, // a group of two blanks is 0
        {"1 2 3 ", 10, 20, 30, 37230000}, // a lone blank counts as the digit 0
        {"12", 0, 0, 12, 12000},           // right-aligned to six characters
        {"ab0102", 0, 1, 2, 62000},
        {"", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const THHMMSS parsed = ParseHHMMSS(c.text);
        EXPECT_EQ(parsed.Hours, c.hours) << c.text;
        EXPECT_EQ(parsed.Minutes, c.minutes) << c.text;
        EXPECT_EQ(parsed.Seconds, c.seconds) << c.text;
        EXPECT_EQ(parsed.Ms, c.ms) << c.text;
    }
}

TEST(DrawFitted, LargestCentredRectangleWithHalvesToEven) {
    const struct {
        TRect clip;
        int width, height;
        TRect expected;
    } cases[] = {
        {{0, 0, 217, 188}, 640, 480, {0, 13, 217, 175}}, // margin 12.62 rounds to 13
        {{0, 0, 98, 50}, 50, 100, {36, 0, 62, 50}},      // margin 36.5 rounds to 36 (even)
        {{0, 0, 11, 10}, 10, 10, {0, 0, 11, 10}},        // margin 0.5 rounds to 0 (even)
        {{0, 0, 10, 11}, 10, 10, {0, 0, 10, 11}},        // margin 0.5 rounds to 0 (even)
        {{0, 0, 10, 13}, 10, 10, {0, 2, 10, 11}},        // margin 1.5 rounds to 2 (even)
        {{5, 5, 105, 105}, 20, 20, {5, 5, 105, 105}},    // same shape: no margins
    };
    for (const auto& c : cases) {
        const auto target = DrawFitted(c.clip, c.width, c.height);
        ASSERT_TRUE(target);
        EXPECT_EQ(*target, c.expected) << c.width << "x" << c.height;
    }
    EXPECT_FALSE(DrawFitted({0, 0, 217, 188}, 0, 480));
    EXPECT_FALSE(DrawFitted({0, 0, 217, 188}, 640, 0));
}

TEST(SeekBar, SetUpAndClock) {
    // A 90-second file on the main window's 209-pixel bar.
    const TSeekBarSetup ninety = SetUpSeekBar(90000000, 209);
    EXPECT_EQ(ninety.Unit, 10000);
    EXPECT_EQ(ninety.Maximum, 9000);
    EXPECT_EQ(ninety.TickSpacing, 473);
    EXPECT_EQ(ninety.LineStep, 100);
    EXPECT_EQ(ninety.PageStep, 500);
    EXPECT_EQ(PreviewTickAdvance(ninety.Maximum, 90000000), 100);
    // The editors' 370-pixel bar.
    EXPECT_EQ(SetUpSeekBar(90000000, 370).TickSpacing, 257);

    const TSeekBarSetup short_ = SetUpSeekBar(800000, 209);
    EXPECT_EQ(short_.Unit, 100);
    EXPECT_EQ(short_.Maximum, 8000);
    EXPECT_EQ(PreviewTickAdvance(short_.Maximum, 800000), short_.Maximum); // the end at once

    const TSeekBarSetup tiny = SetUpSeekBar(500, 209);
    EXPECT_EQ(tiny.Unit, 10);
    EXPECT_EQ(tiny.Maximum, 50);
    EXPECT_EQ(tiny.LineStep, 1);

    const TSeekBarSetup unknown = SetUpSeekBar(INT64_MIN, 209);
    EXPECT_EQ(unknown.Maximum, 0);
    EXPECT_EQ(SetUpSeekBar(90000000, 15).TickSpacing, 9000); // too narrow for tick slots

    EXPECT_EQ(PreviewTimeText(1234, 10000), "Time: 12.340");
}

} // namespace
} // namespace tarnwick::app
