#include "app/core/seek_bar.h"
#include "app/core/trim_rules.h"

#include <gtest/gtest.h>

namespace tarnwick::app {
namespace {

constexpr int64_t NinetyAndAHalf = 90500; // ms

// A session of the trim editor on a 90.5-second file: the fields as shown on a fresh row,
// then the start and the end as the user types them, then "Ok".
TEST(TrimRules, OkStoresStartAndLengthWithTheUnderOneSecondRules) {
    const struct {
        const char* start;
        const char* end;
        int32_t trimStart, trimLength;
        const char* cell;
    } cases[] = {
        {"000010", "000130", 10000, 80000, "80"}, // typed end at 90 s
        {"000010", nullptr, 10000, 80500, "80"},  // end left at the full duration
        {"000000", "000129", 0, 89000, "89"},     // leaves 1.5 s out: stored
        {"000000", "000130", 0, 0, "90"},         // leaves 0.5 s out: to the end
        {"000000", nullptr, 0, 0, "90"},          // the whole file
        {"000129", nullptr, 89000, 1500, "1"},    // the last 1.5 s
        {"000000", "000000", 0, 0, "90"},         // empty selection clears the trim
    };
    for (const auto& c : cases) {
        TlvFilesRecord row;
        row.DurationSec = 90;
        TTrimFields fields = TrimFieldsForRow(row, NinetyAndAHalf);
        EXPECT_EQ(fields.End, "000130");
        CheckTrimStart(c.start, fields.Times);
        if (c.end) CheckTrimEnd(c.end, fields.Times);
        const TTrimStore store = StoreTrim(fields.Times, row.DurationSec);
        EXPECT_EQ(store.TrimStart, c.trimStart) << c.start << " " << (c.end ? c.end : "-");
        EXPECT_EQ(store.TrimLength, c.trimLength) << c.start << " " << (c.end ? c.end : "-");
        EXPECT_EQ(store.TrimmedLengthText, c.cell) << c.start << " " << (c.end ? c.end : "-");
    }
    // Under a second selected: from the start to the end.
    const TTrimStore half = StoreTrim({90000, 90500, NinetyAndAHalf}, 90);
    EXPECT_EQ(half.TrimStart, 90000);
    EXPECT_EQ(half.TrimLength, 0);
    EXPECT_EQ(half.TrimmedLengthText, "0");
}

TEST(TrimRules, FieldChecksRefuseWithTheirMessagesAndResetTheField) {
    const struct {
        bool endField; // which field is left
        int64_t startMs, endMs;
        const char* typed;
        const char* message;
        const char* fieldAfter; // nullptr: the field keeps what was typed
        int64_t startAfter, endAfter;
        const char* lengthAfter; // nullptr: unchanged
    } cases[] = {
        {false, 0, 90500, "000010", "", nullptr, 10000, 90500, "000120"},
        {false, 0, 90500, "007500", "Incorrect start time!", "000000", 0, 90500, "000130"},
        {false, 0, 90500, "000075", "Incorrect start time!", "000000", 0, 90500, "000130"},
        {false, 0, 90500, "000200", "Incorrect start time!", "000000", 0, 90500, "000130"},
        {false, 0, 20000, "000030", "Incorrect start time!", "000000", 0, 20000, "000020"},
        {false, 0, 20000, "000020", "The start time cannot equal to the end time!", "000000", 0,
         20000, "000020"},
        {false, 0, 0, "000000", "", nullptr, 0, 0, nullptr}, // same second, one zero: silent
        {true, 10000, 90500, "000020", "", nullptr, 10000, 20000, "000010"},
        {true, 10000, 90500, "000010", "The end time cannot equal to the start time!!", "000130",
         10000, 90500, "000120"},
        {true, 10000, 90500, "000005", "Incorrect end time!", "000130", 10000, 90500, "000120"},
        {true, 10000, 90500, "000131", "Incorrect end time!", "000130", 10000, 90500, "000120"},
        {true, 10000, 90500, "006000", "Incorrect end time!", "000130", 10000, 90500, "000120"},
        {true, 0, 90500, "000000", "", nullptr, 0, 0, nullptr},
    };
    for (const auto& c : cases) {
        TTrimTimes times{c.startMs, c.endMs, NinetyAndAHalf};
        const TTrimFieldCheck check =
            c.endField ? CheckTrimEnd(c.typed, times) : CheckTrimStart(c.typed, times);
        const std::string what = std::string(c.endField ? "end " : "start ") + c.typed;
        EXPECT_EQ(check.Message, c.message) << what;
        EXPECT_EQ(check.FieldText.value_or("-"), c.fieldAfter ? c.fieldAfter : "-") << what;
        EXPECT_EQ(times.StartMs, c.startAfter) << what;
        EXPECT_EQ(times.EndMs, c.endAfter) << what;
        EXPECT_EQ(check.LengthText.value_or("-"), c.lengthAfter ? c.lengthAfter : "-") << what;
    }
}

TEST(TrimRules, ShowAndResetOfAStoredTrim) {
    TlvFilesRecord row;
    row.DurationSec = 3723;
    row.TrimStart = 61000;
    row.TrimLength = 120000;
    const TTrimFields stored = TrimFieldsForRow(row, 3723000);
    EXPECT_EQ(stored.Start, "000101");
    EXPECT_EQ(stored.End, "000301");
    EXPECT_EQ(stored.Length, "000200");
    EXPECT_EQ(stored.Times.StartMs, 61000);
    EXPECT_EQ(stored.Times.EndMs, 181000);

    const TTrimFields reset = ResetTrim(row, 3723000);
    EXPECT_EQ(row.TrimStart, 0);
    EXPECT_EQ(row.TrimLength, 0);
    EXPECT_EQ(reset.Start, "000000");
    EXPECT_EQ(reset.End, "010203");
    EXPECT_EQ(reset.Length, "010203");
    EXPECT_EQ(reset.Times.EndMs, 3723000);
    EXPECT_EQ(UntrimmedLengthText(row), "3723");

    // A duration the library does not know trims nothing.
    EXPECT_EQ(TrimDurationMs(INT64_MIN), 0);
    EXPECT_EQ(TrimDurationMs(90500999), 90500);
}

TEST(TrimRules, TimeFieldTexts) {
    EXPECT_EQ(DigitsOfTimeField("01:02:03"), "010203");
    EXPECT_EQ(DigitsOfTimeField("1 :  :  "), "1     ");
    EXPECT_EQ(TimeFieldOfDigits("010203"), "01:02:03");
    EXPECT_EQ(TimeFieldOfDigits("130"), "00:01:30");
}

TEST(EditorClock, TwoStepsPerTickThenBackToTheStart) {
    // A 90-second file: 9000 positions; 100 on, then one second of media (100) more.
    TEditorClockTick tick = EditorClockTick(0, 9000, 90000000, false);
    ASSERT_EQ(tick.StepCount, 2);
    EXPECT_EQ(tick.Steps[0], 100);
    EXPECT_EQ(tick.Steps[1], 200);
    EXPECT_FALSE(tick.Stop);

    tick = EditorClockTick(8950, 9000, 90000000, false); // both steps end at the bar's end
    EXPECT_EQ(tick.Steps[0], 9000);
    EXPECT_EQ(tick.Steps[1], 9000);

    tick = EditorClockTick(9000, 9000, 90000000, false);
    EXPECT_TRUE(tick.Stop);
    EXPECT_EQ(tick.Rewind, 0);
    EXPECT_EQ(tick.StepCount, 0);

    tick = EditorClockTick(300, 9000, 90000000, true);
    EXPECT_TRUE(tick.Stop);
    EXPECT_FALSE(tick.Rewind);

    tick = EditorClockTick(0, 8000, 800000, false); // a file under a second ends at once
    EXPECT_EQ(tick.Steps[1], 8000);

    tick = EditorClockTick(0, 0, INT64_MIN, false); // an empty bar is at its end at once
    EXPECT_TRUE(tick.Stop);
    EXPECT_EQ(tick.Rewind, 0);
}

} // namespace
} // namespace tarnwick::app
