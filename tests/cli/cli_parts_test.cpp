#include "cli/cli_request.h"
#include "cli/json_line.h"
#include "cli/progress_line.h"
#include "cli/time_argument.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tarnwick::cli;

TEST(JsonLineTest, EscapesWhatJsonCannotHoldRaw) {
    EXPECT_EQ(JsonString("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
    EXPECT_EQ(JsonString("caf\xc3\xa9"), "\"caf\xc3\xa9\"");
    EXPECT_EQ(JsonString("bad\xff\xc3"), "\"bad\\ufffd\\ufffd\"");
    JsonLine line;
    line.Add("event", "end").Add("index", 2).Add("ok", false).Add("speed", 1.5);
    EXPECT_EQ(line.Text(), "{\"event\":\"end\",\"index\":2,\"ok\":false,\"speed\":1.5}");
    EXPECT_EQ(JsonLine().Add("x", 1.0 / 0.0).Text(), "{\"x\":null}");
}

TEST(ProgressLineTest, FiguresAndTheirUnknowns) {
    JobProgress p{2, 3, "clip.avi", 12000, 30000, 3 * 1024 * 1024, 4.0};
    EXPECT_EQ(ProgressPercent(p), 40);
    EXPECT_DOUBLE_EQ(RealtimeFactor(p), 3.0);
    EXPECT_DOUBLE_EQ(SecondsLeft(p), 6.0);
    EXPECT_EQ(FormatProgressLine(p, 200), "[2/3] clip.avi   40%  00:00:12  3.0 MiB  3.0x  left 00:00:06");

    JobProgress unknown{1, 1, "a.mp4", 0, -1, 0, 0};
    EXPECT_EQ(ProgressPercent(unknown), -1);
    EXPECT_EQ(SecondsLeft(unknown), -1);
    EXPECT_EQ(FormatProgressLine(unknown, 200), "[1/1] a.mp4  00:00:00  0 KiB");

    JobProgress longName{1, 1, std::string(80, 'n') + ".avi", 1000, 2000, 0, 1.0};
    const std::string line = FormatProgressLine(longName, 60);
    EXPECT_EQ(line.size(), 60u);
    EXPECT_NE(line.find("...n"), std::string::npos);
}

TEST(CliRequestTest, ArgumentsAndUsageErrors) {
    struct Case {
        std::vector<const char*> args;
        std::optional<int> exit;
    };
    const Case cases[] = {
        {{"a.avi", "-p", "3", "-o", "/tmp/x", "-j", "2", "--crop", "2,4,6,8", "--fit", "lbox"}, {}},
        {{"a.avi", "--crop", "1,2,4,6"}, 2},
        {{"--list-presets"}, {}},
        {{"--info", "a.avi", "b.avi"}, {}},
        {{"--snapshot", "1.5", "a.avi"}, {}},
        {{}, 2},
        {{"a.avi", "--crop", "1,2,3"}, 2},
        {{"a.avi", "--crop", "1,2,3,x"}, 2},
        {{"a.avi", "--fit", "wide"}, 2},
        {{"a.avi", "--jobs", "0"}, 2},
        {{"a.avi", "--bogus"}, 2},
        {{"--info", "--list-presets", "a.avi"}, 2},
        {{"--help"}, 0},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"tarnwick-cli"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        CliRequest request;
        std::ostringstream out, err;
        const auto exit = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), request, out, err);
        EXPECT_EQ(exit, c.exit) << (c.args.empty() ? "(none)" : c.args[0]) << " " << err.str();
        if (exit == 2) {
            EXPECT_FALSE(err.str().empty());
        }
    }
    CliRequest request;
    std::ostringstream out, err;
    const char* argv[] = {"tarnwick-cli", "a.avi", "b c.mkv", "--crop", "8,8,0,0", "-vv"};
    ASSERT_EQ(ParseCommandLine(6, argv, request, out, err), std::nullopt);
    EXPECT_EQ(request.files, (std::vector<std::string>{"a.avi", "b c.mkv"}));
    EXPECT_EQ(request.crop, (std::array<int, 4>{8, 8, 0, 0}));
    EXPECT_EQ(request.verbose, 2);
    EXPECT_EQ(request.mode, CliMode::Convert);
}

TEST(TimeArgumentTest, ClockTimes) {
    struct Case { const char* text; std::optional<int32_t> ms; };
    const Case cases[] = {{"45", 45000},      {"1:30", 90000},       {"01:02:03", 3723000},
                          {"0", 0},           {"1:2", std::nullopt}, {"1:60", std::nullopt},
                          {"a", std::nullopt}, {"", std::nullopt},   {"1:02:03:04", std::nullopt},
                          {"-5", std::nullopt}, {"999999:00:00", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(ParseClockTime(c.text), c.ms) << c.text;
    TrimRequest trim;
    std::string error;
    EXPECT_TRUE(ParseTrim("00:00:01", "00:00:02", trim, error));
    EXPECT_EQ(trim.startMs, 1000);
    EXPECT_EQ(trim.lengthMs, 2000);
    EXPECT_FALSE(ParseTrim("", "0", trim, error));
    EXPECT_NE(error.find("--length"), std::string::npos);
}
