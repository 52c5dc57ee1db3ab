// The progress report of real conversions: the handler's figures, the logged line, the summary.
#include "transcode_job.h"

#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace tarnwick;

namespace {

struct Report {
    int32_t Frame, Fps, DurationMs;
    float Quality, BitRate;
    int64_t Size;
    int32_t Total;
};

void RecordReports(engine::TCustomFFmpeg& job, std::vector<Report>& reports) {
    job.ProgressIntervalUs = 0;
    job.ProgressHandler = [&reports](engine::TCustomFFmpeg&, int32_t frame, int32_t fps,
                                     int32_t durationMs, float quality, float bitRate, int64_t size,
                                     int32_t total) {
        reports.push_back({frame, fps, durationMs, quality, bitRate, size, total});
    };
}

class ProgressReport : public ::testing::Test {
protected:
    void SetUp() override { fixtures::WriteClip(input_, fixtures::SimpleClip(25, true)); }
    test::TempFolder folder_;
    std::string input_ = folder_.File("in.mp4");
    std::string output_ = folder_.File("out.mp4");
};

TEST_F(ProgressReport, HandlerFollowsFramesTimeAndSizeToTheEnd) {
    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(run.Input(input_));
    run.Job.VideoCodecName = "mpeg4";
    // Video alone, so that the first report comes before any stream has a positive time.
    run.Job.AudioDisable = true;
    ASSERT_NO_FATAL_FAILURE(run.Output(output_));
    std::vector<Report> reports;
    RecordReports(run.Job, reports);
    run.RunHere();
    ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;

    ASSERT_GT(reports.size(), 2u);
    for (size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].Frame, reports[i - 1].Frame);
        EXPECT_GE(reports[i].DurationMs, 0);
        EXPECT_GE(reports[i].Quality, 1.0f);
    }
    EXPECT_EQ(reports.front().Frame, 1);
    // The first picture is at time 0: no stream has a positive time yet.
    EXPECT_EQ(reports.front().DurationMs, 0);
    const Report& last = reports.back();
    EXPECT_EQ(last.Frame, 25);
    EXPECT_NEAR(last.DurationMs, 1000, 40);
    EXPECT_EQ(last.Size, static_cast<int64_t>(std::filesystem::file_size(output_)));
    EXPECT_GT(last.BitRate, 0);
    EXPECT_EQ(last.Total, run.Job.TotalOutputDurationMs);
    // With a handler the lines are not logged; the summary is.
    EXPECT_TRUE(run.LinesWith("frame=").empty());
    EXPECT_EQ(run.LinesWith("muxing overhead").size(), 1u);
}

TEST_F(ProgressReport, WithoutHandlerTheLineIsLoggedAndTheFinalOneCarriesL) {
    for (const int verbose : {1, 2}) {
        SCOPED_TRACE(verbose);
        test::TranscodeJob run;
        ASSERT_NO_FATAL_FAILURE(run.Input(input_));
        run.Job.VideoCodecName = "mpeg4";
        ASSERT_NO_FATAL_FAILURE(run.Output(output_));
        run.Job.ProgressIntervalUs = 0;
        run.Job.Verbose = verbose;
        run.RunHere();
        ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
        const auto lines = run.LinesWith("size=");
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.back().find("frame=   25 "), 0u) << lines.back();
        EXPECT_NE(lines.back().find(" Lsize="), std::string::npos) << lines.back();
        EXPECT_EQ(lines.front().find(" Lsize="), std::string::npos) << lines.front();
        for (const std::string& line : lines)
            EXPECT_EQ(line.find(" dup=0 drop=0") != std::string::npos, verbose > 1) << line;
        const auto summary = run.LinesWith("muxing overhead");
        ASSERT_EQ(summary.size(), 1u);
        EXPECT_EQ(summary[0].find("video:"), 0u);
    }
}

TEST_F(ProgressReport, WithPsnrEveryLineCarriesThePlaneFiguresAndTheLastOneTheRunsOwn) {
    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(run.Input(input_));
    run.Job.VideoCodecName = "mpeg4";
    run.Job.DoPsnr = true;
    ASSERT_NO_FATAL_FAILURE(run.Output(output_));
    run.Job.ProgressIntervalUs = 0;
    run.Job.Verbose = 1;
    run.RunHere();
    ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
    const auto lines = run.LinesWith("size=");
    ASSERT_GE(lines.size(), 2u);
    for (const std::string& line : lines)
        EXPECT_NE(line.find("PSNR=Y:"), std::string::npos) << line;
    // Over the whole run: the luma has coding error (the figure is finite and well above
    // noise); the clip's chroma is flat grey, coded without error, hence infinite.
    const std::string& last = lines.back();
    double y = 0, all = 0;
    ASSERT_EQ(
        std::sscanf(last.c_str() + last.find("PSNR="), "PSNR=Y:%lf U:inf V:inf *:%lf", &y, &all), 2)
        << last;
    EXPECT_GT(y, 30.0) << last;
    EXPECT_LT(y, 90.0) << last;
    EXPECT_GT(all, y) << last;
    EXPECT_LT(all, 90.0) << last;
}

TEST_F(ProgressReport, AnAudioOnlyOutputHasNoFrameFigures) {
    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(run.Input(input_));
    run.Job.VideoDisable = true;
    ASSERT_NO_FATAL_FAILURE(run.Output(folder_.File("out.m4a")));
    std::vector<Report> reports;
    RecordReports(run.Job, reports);
    run.RunHere();
    ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
    ASSERT_FALSE(reports.empty());
    for (const Report& report : reports) {
        EXPECT_EQ(report.Frame, -1);
        EXPECT_EQ(report.Fps, -1);
        EXPECT_EQ(report.Quality, -1.0f);
    }
    EXPECT_NEAR(reports.back().DurationMs, 1000, 40);
}

TEST_F(ProgressReport, FrameStatisticsGoToTheirFileOneLinePerPicture) {
    struct Case {
        std::string file;
        bool opens;
    };
    for (const Case& c :
         {Case{folder_.File("stats.txt"), true}, Case{folder_.File("missing/stats.txt"), false}}) {
        SCOPED_TRACE(c.file);
        test::TranscodeJob run;
        ASSERT_NO_FATAL_FAILURE(run.Input(input_));
        run.Job.VideoCodecName = "mpeg4";
        ASSERT_NO_FATAL_FAILURE(run.Output(output_));
        run.Job.VstatsFileName = c.file;
        run.RunHere();
        if (!c.opens) {
            EXPECT_EQ(run.Job.ExceptionMessage, "fopen fail: " + c.file);
            continue;
        }
        ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
        std::ifstream stats(c.file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(stats, line);)
            lines.push_back(line);
        ASSERT_EQ(lines.size(), 25u);
        EXPECT_EQ(lines.front().find("frame=     1 q= "), 0u) << lines.front();
        EXPECT_NE(lines.front().find(" f_size= "), std::string::npos);
        EXPECT_NE(lines.front().find(" type= I"), std::string::npos) << lines.front();
        EXPECT_EQ(lines.back().find("frame=    25 "), 0u) << lines.back();
    }
}

} // namespace
