// Subtitles through real conversions (copy and re-encoding), and the refusal of subtitles
// without a time.
#include "engine/conversion_runner.h"

#include "fixtures/fixture_writer.h"
#include "platform/ffmpeg_exception.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace tarnwick;
using test::Conversion;

namespace {

fixtures::ClipSpec ClipWithSubtitles() {
    fixtures::ClipSpec spec;
    spec.video = fixtures::VideoSpec{};
    spec.video->frameCount = 50;
    spec.subtitle = fixtures::SubtitleSpec{};
    spec.subtitle->codec = "subrip";
    spec.subtitle->cues = {{100, 600, "first"}, {700, 1200, "second"}, {1300, 1900, "third"}};
    return spec;
}

class SubtitlePathTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadLibrariesOrFail(); }
    test::TempFolder folder;
};

} // namespace

TEST_F(SubtitlePathTest, TextSubtitlesAreCopiedOrReEncoded) {
    struct Case {
        const char* name;
        std::string output;
        std::string options;
        AVCodecID codec;
    };
    const Case cases[] = {
        {"copied into MKV", "copy.mkv", "scodec=copy", AV_CODEC_ID_SUBRIP},
        {"re-encoded into MKV", "srt.mkv", "scodec=subrip", AV_CODEC_ID_SUBRIP},
        {"re-encoded as ASS", "ass.mkv", "scodec=ass", AV_CODEC_ID_ASS},
        {"re-encoded as MP4 text", "text.mp4", "scodec=mov_text", AV_CODEC_ID_MOV_TEXT},
    };
    const std::string input = folder.File("in.mkv");
    fixtures::WriteClip(input, ClipWithSubtitles());
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Conversion c;
        c.Input(input);
        c.Output(folder.File(k.output), k.options);
        ASSERT_TRUE(c.Run()) << c.Error();
        const fixtures::FileInfo info = fixtures::ReadFileInfo(folder.File(k.output));
        const fixtures::StreamInfo* subtitle = info.First(AVMEDIA_TYPE_SUBTITLE);
        ASSERT_NE(subtitle, nullptr);
        EXPECT_EQ(subtitle->codecId, k.codec);
        EXPECT_EQ(subtitle->frameCount, 3);
        ASSERT_NE(info.First(AVMEDIA_TYPE_VIDEO), nullptr);
    }
}

TEST_F(SubtitlePathTest, ASubtitleWithoutPtsIsLoggedOrFatalWithExitOnError) {
    for (const bool exitOnError : {false, true}) {
        SCOPED_TRACE(exitOnError);
        Conversion c;
        if (exitOnError) c.job.ApplyOptionText("xerror=1");
        engine::TInputStreamRecord ist;
        engine::TOutputStreamRecord ost;
        AVSubtitle subtitle{};
        if (exitOnError) {
            try {
                c.job.WriteSubtitle(nullptr, ost, AV_NOPTS_VALUE, &subtitle, ist);
                ADD_FAILURE() << "no exception";
            } catch (const platform::FFMpegException& error) {
                EXPECT_STREQ(error.what(), "Subtitle packets must have a pts");
            }
            EXPECT_TRUE(c.logs.empty());
        } else {
            c.job.WriteSubtitle(nullptr, ost, AV_NOPTS_VALUE, &subtitle, ist);
            ASSERT_EQ(c.logs.size(), 1u);
            EXPECT_EQ(c.logs[0], (std::pair<int, std::string>{0, "Subtitle packets must have a pts"}));
        }
    }
}
