#include "option_test_job.h"
#include "support/comma_locale.h"

#include <filesystem>
#include <string>

using namespace tarnwick::engine;
using tarnwick::test::OptionTest;
using tarnwick::test::OptionTestJob;

namespace {

std::string Coefficients(int count, const char* value = "16") {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ',';
        text += value;
    }
    return text;
}

TEST_F(OptionTest, FrameSizeIsStoredBeforeAnOddSizeIsRefused) {
    OptionTestJob job;
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("s=321x240"); }),
              "Frame size must be a multiple of 2");
    EXPECT_EQ(job->FrameWidth, 321);
    EXPECT_EQ(job->FrameHeight, 240);
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->SetFrameSize("big"); }), "Incorrect frame size");
    job->ApplyOptionText("s=vga");
    EXPECT_EQ(job->FrameWidth, 640);
    EXPECT_EQ(job->FrameHeight, 480);
}

TEST_F(OptionTest, CropsShrinkTheCurrentFrameAndStayInsideIt) {
    const std::string vertical =
        "Vertical crop dimensions are outside the range of the original image.\n"
        "Remember to crop first and scale second.";
    const std::string horizontal =
        "Horizontal crop dimensions are outside the range of the original image.\n"
        "Remember to crop first and scale second.";
    OptionTestJob job;
    job->FrameWidth = 320;
    job->FrameHeight = 240;
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("croptop=240"); }), vertical);
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("cropleft=320"); }), horizontal);
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("cropbottom=3"); }),
              "Bottom crop size must be a multiple of 2");
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("cropright=x"); }),
              "'x' is not a valid integer value");
    EXPECT_EQ(job->FrameHeight, 240);
    job->ApplyOptionText("croptop=10\ncropbottom=10\ncropleft=-4\ncropright=20");
    EXPECT_EQ(job->FrameHeight, 220);
    EXPECT_EQ(job->FrameWidth, 300);
    EXPECT_EQ(job->CropLeft, 0);
    EXPECT_EQ(job->CropRight, 20);
    job->SetCropTop(218);
    EXPECT_EQ(job->FrameHeight, 2);
    EXPECT_EQ(job->CropTop, 218);

    job->ApplyOptionText("padtop=4\npadleft=-2");
    EXPECT_EQ(job->PadTop, 4);
    EXPECT_EQ(job->PadLeft, 0);
    EXPECT_EQ(job->FrameHeight, 2);
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->SetPadRight(5); }),
              "Right pad size must be a multiple of 2");
}

TEST_F(OptionTest, AspectQscalePassAndTagValues) {
    struct Case {
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {"aspect=4:0", "Incorrect aspect ratio specification."},
        {"aspect=abc", "Incorrect aspect ratio specification."},
        {"aspect=1e60", "Incorrect aspect ratio specification."},
        {"qscale=0", "qscale must be > 0.0 and <= 255"},
        {"qscale=256", "qscale must be > 0.0 and <= 255"},
        {"pass=3", "pass number can be only 1 or 2"},
        {"vtag=abc", "video tag parameter must be 4 chars"},
        {"atag=mp4aa", "audio tag parameter must be 4 chars"},
    };
    for (const Case& c : cases) {
        OptionTestJob job;
        EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText(c.line); }), c.error)
            << c.line;
    }

    OptionTestJob job;
    job->ApplyOptionText("aspect=16:9");
    EXPECT_FLOAT_EQ(job->FrameAspectRatio, 1.7777778f);
    job->ApplyOptionText("aspect=1.5");
    EXPECT_FLOAT_EQ(job->FrameAspectRatio, 1.5f);
    job->ApplyOptionText("aspect=-4:3");
    EXPECT_FLOAT_EQ(job->FrameAspectRatio, -4.0f / 3.0f);
    job->ApplyOptionText("qscale=255\npass=2\natag=mp4a\nvtag=");
    EXPECT_FLOAT_EQ(job->VideoQScale, 255.0f);
    EXPECT_EQ(job->DoPass, 2);
    EXPECT_EQ(job->AudioCodecTag, MKTAG('m', 'p', '4', 'a'));
    EXPECT_EQ(job->VideoCodecTag, 0u);
}

TEST_F(OptionTest, DecimalNumbersReadAlikeUnderACommaDecimalLocale) {
    // A desktop started in a German or French locale sets the C library's numbers to
    // "1,5"; the option texts keep writing "1.5".
    tarnwick::test::ScopedCommaNumbers commaNumbers;
    OptionTestJob job;
    job->ApplyOptionText("aspect=1.5\nitsscale=0:2.5");
    EXPECT_FLOAT_EQ(job->FrameAspectRatio, 1.5f);
    EXPECT_EQ(job->InputTsScale[0][0], 2.5);
}

TEST_F(OptionTest, MatricesNeedSixtyFourUsableCoefficients) {
    OptionTestJob job;
    const std::string short63 = Coefficients(63);
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("intra_matrix=" + short63); }),
              "Syntax error in matrix \"" + short63 + "\" at coeff 62");
    EXPECT_EQ(job->IntraMatrix.size(), 64u); // allocated before the error

    job->ApplyOptionText("inter_matrix=" + Coefficients(64, " 8") + ",junk,7");
    ASSERT_EQ(job->InterMatrix.size(), 64u);
    EXPECT_EQ(job->InterMatrix[0], 8);
    EXPECT_EQ(job->InterMatrix[63], 8);
    job->SetIntraMatrix("$10x," + Coefficients(63));
    EXPECT_EQ(job->IntraMatrix[0], 16);

    // A zero coefficient would make the encoder divide by zero.
    const std::string withZero = "0," + Coefficients(63);
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->SetInterMatrix(withZero); }),
              "Invalid coefficient 0 in matrix \"" + withZero + "\" at coeff 0 (allowed 1 to 255)");
    EXPECT_NE(OptionTestJob::ErrorOf([&] { job->SetInterMatrix(Coefficients(64, "256")); }), "");
}

TEST_F(OptionTest, TimesDatesAndTimestampScales) {
    OptionTestJob job;
    job->ApplyOptionText("t=0");
    EXPECT_EQ(job->RecordingTime, std::numeric_limits<int64_t>::max());
    EXPECT_EQ(job->TotalOutputDurationMs, -1);
    job->ApplyOptionText("t=01:00:00");
    EXPECT_EQ(job->RecordingTime, 3600000000);
    EXPECT_EQ(job->TotalOutputDurationMs, 3600000);
    job->ApplyOptionText("t=3000000"); // seconds past the millisecond range
    EXPECT_EQ(job->TotalOutputDurationMs, std::numeric_limits<int32_t>::max());

    job->ApplyOptionText("ss=1.5\nitsoffset=-2\ntimestamp=1970-01-01T00:01:40.5Z");
    EXPECT_EQ(job->StartTime, 1500000);
    EXPECT_EQ(job->InputTsOffsetOption, -2000000);
    EXPECT_EQ(job->RecTimestamp, 100); // 100.5 s rounds to even
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("ss=abc"); }),
              "Invalid duration specification for ss: abc");
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("timestamp=soon"); }),
              "Invalid date specification for timestamp: soon");

    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("itsscale=20:2"); }),
              "stream index over MAX_STREAMS(20)");
    job->ApplyOptionText("itsscale=0:2\nitsscale=0x3.0.5");
    EXPECT_EQ(job->InputTsScale[0][0], 2.0);
    EXPECT_EQ(job->InputTsScale[0][3], 0.5);
    job->InputFileCount = 1; // the scale belongs to the next input opened
    job->ApplyOptionText("itsscale=1:4");
    EXPECT_EQ(job->InputTsScale[1][1], 4.0);
    job->InputFileCount = 0;
}

TEST_F(OptionTest, StreamAndMetadataMapsReadCNumbers) {
    OptionTestJob job;
    job->ApplyOptionText("map=0.1\nmap=0:1\nmap=0.1:1.0\nmap=0x1-010\nmap_meta_data=1:0");
    ASSERT_EQ(job->StreamMapCount, 4);
    auto same = [](const TStreamMap& map, int a, int b, int c, int d) {
        return map.FileIndex == a && map.StreamIndex == b && map.SyncFileIndex == c &&
               map.SyncStreamIndex == d;
    };
    EXPECT_TRUE(same(job->StreamMaps[0], 0, 1, 0, 1));
    EXPECT_TRUE(same(job->StreamMaps[1], 0, 1, 0, 1));
    EXPECT_TRUE(same(job->StreamMaps[2], 0, 1, 1, 0));
    EXPECT_TRUE(same(job->StreamMaps[3], 1, 8, 1, 8)); // hex, then octal
    ASSERT_EQ(job->MetaDataMapCount, 1);
    EXPECT_EQ(job->MetaDataMaps[0].OutFile, 1);
    EXPECT_EQ(job->MetaDataMaps[0].InFile, 0);
}

TEST_F(OptionTest, PadColourBecomesYuv) {
    struct Case {
        int color;
        std::array<int32_t, 3> yuv;
    };
    for (const Case& c : {Case{0, {0, 128, 128}}, Case{16777215, {255, 128, 128}},
                          Case{0x0000ff, {76, 85, 255}}, Case{0xff0000, {29, 255, 107}}}) {
        OptionTestJob job;
        job->ApplyOptionText("padcolor=" + std::to_string(c.color));
        EXPECT_EQ(job->PadColor, c.yuv) << c.color;
    }
}

TEST_F(OptionTest, FormatsCodecsAndFilters) {
    OptionTestJob job;
    job->ApplyOptionText("f=avi");
    ASSERT_NE(job->ForcedInputFormat, nullptr);
    ASSERT_NE(job->ForcedOutputFormat, nullptr);
    EXPECT_STREQ(job->ForcedOutputFormat->name, "avi");
    job->ApplyOptionText("f=mpeg1video"); // a muxer name no demuxer carries
    EXPECT_EQ(job->ForcedInputFormat, nullptr);
    EXPECT_STREQ(job->ForcedOutputFormat->name, "mpeg1video");
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("f=nosuch"); }),
              "Unknown input or output format: nosuch");
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->SetInputFormat("mpeg1video"); }),
              "Unknown input format: mpeg1video");
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->SetOutputFormat("nosuch"); }),
              "Unknown output format: nosuch");
    job.logs.clear();
    job->ApplyOptionText("f=pgmyuv");
    EXPECT_TRUE(job->PgmyuvCompatibility);
    EXPECT_STREQ(job->ForcedInputFormat->name, "image2");
    EXPECT_EQ(job.logs, std::vector<std::string>{"pgmyuv format is deprecated, use image2"});

    job->ApplyOptionText("vcodec=copy\nvcodec=mpeg4\nacodec=aac\nacodec=\nscodec=copy");
    EXPECT_TRUE(job->VideoStreamCopy); // a later name does not clear the copy flag
    EXPECT_EQ(job->VideoCodecName, "mpeg4");
    EXPECT_EQ(job->AudioCodecName, "aac");
    EXPECT_TRUE(job->SubtitleStreamCopy);
    EXPECT_TRUE(job->SubtitleCodecName.empty());

    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("absf=nosuchfilter "); }),
              "Unknown bitstream filter nosuchfilter");
    job->ApplyOptionText("vbsf=h264_mp4toannexb=whatever\nabsf=aac_adtstoasc\nsbsf=null\nabsf==x");
    ASSERT_EQ(job->VideoBitstreamFilters.size(), 1u);
    EXPECT_STREQ(job->VideoBitstreamFilters[0]->name, "h264_mp4toannexb");
    ASSERT_EQ(job->AudioBitstreamFilters.size(), 1u);
    EXPECT_STREQ(job->AudioBitstreamFilters[0]->name, "aac_adtstoasc");
    EXPECT_EQ(job->SubtitleBitstreamFilters.size(), 1u);

    job->ApplyOptionText("pix_fmt=yuv422p\nsample_fmt=fltp\nr=30000/1001");
    EXPECT_EQ(job->FramePixFmt, AV_PIX_FMT_YUV422P);
    EXPECT_EQ(job->AudioSampleFmt, AV_SAMPLE_FMT_FLTP);
    EXPECT_EQ(job->FrameRate.num, 30000);
    EXPECT_EQ(job->FrameRate.den, 1001);
    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("r=fast"); }),
              "Incorrect frame rate");
}

TEST_F(OptionTest, FormatListsStartWithTheirHeading) {
    OptionTestJob job;
    job->ApplyOptionText("pix_fmt=list");
    ASSERT_GT(job.logs.size(), 100u);
    EXPECT_EQ(job.logs[0].rfind("name", 0), 0u);
    EXPECT_EQ(job.logs[1].rfind("yuv420p", 0), 0u);
    EXPECT_EQ(job->FramePixFmt, -1);
    job.logs.clear();
    job->ApplyOptionText("sample_fmt=list");
    ASSERT_GE(job.logs.size(), 13u);
    EXPECT_EQ(job.logs[0].rfind("name", 0), 0u);
    EXPECT_EQ(job.logs[1].rfind("u8", 0), 0u);
}

TEST_F(OptionTest, VideoHookSplitsAtBarsWhenThereAreAny) {
    const std::filesystem::path module =
        tarnwick::test::ExecutableFolder() / "test_hooks" / "stamp_hook.so";
    tarnwick::test::TempFolder folder;
    const std::filesystem::path spaced = folder.Path() / "my hooks" / "stamp.so";
    std::filesystem::create_directories(spaced.parent_path());
    std::filesystem::copy_file(module, spaced);

    OptionTestJob job;
    job->ApplyOptionText("vhook=" + spaced.string() + "|7 8");
    ASSERT_TRUE(job->UsingVhook);
    ASSERT_NE(job->FrameHookList.first, nullptr);
    EXPECT_EQ(reinterpret_cast<intptr_t>(job->FrameHookList.first->context), 7);

    job->ApplyOptionText("vhook=" + module.string() + "  9 1");
    ASSERT_NE(job->FrameHookList.first->next, nullptr);
    EXPECT_EQ(reinterpret_cast<intptr_t>(job->FrameHookList.first->next->context), 9);

    EXPECT_EQ(OptionTestJob::ErrorOf([&] { job->ApplyOptionText("vhook=" + spaced.string()); }),
              "Failed to add video hook function: " + spaced.string());
    std::string tooMany = module.string();
    for (int i = 0; i < 64; ++i) tooMany += " 1";
    EXPECT_NE(OptionTestJob::ErrorOf([&] { job->AddVideoHook(tooMany); }), "");
}

} // namespace
