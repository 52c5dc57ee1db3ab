// A probe in a process that never loaded the media libraries: the queries of an empty probe
// answer as on any empty probe (their messages have no log to go to), and opening names the
// missing library. Its own binary, since the other suites load the libraries.
#include "binding/media_libraries.h"
#include "probe/av_probe.h"

#include <gtest/gtest.h>

using tarnwick::probe::TAVProbe;

TEST(ProbeWithoutLibraries, QueriesGiveTheirEmptyAnswers) {
    ASSERT_FALSE(tarnwick::binding::MediaLibrariesLoaded());
    TAVProbe probe;
    EXPECT_EQ(probe.InfoText(), "");
    EXPECT_EQ(probe.FileName(), "");
    EXPECT_EQ(probe.FormatName(), "");
    EXPECT_EQ(probe.FileSize(), -1);
    tarnwick::probe::TAVFormatInfo format;
    probe.GetFormatInfo(format);
    EXPECT_EQ(format.Duration, -1);
    tarnwick::probe::TAVVideoStreamInfo video;
    probe.GetVideoStreamInfo(-1, video);
    EXPECT_EQ(video.Width, -1);
    tarnwick::probe::TAVAudioStreamInfo audio;
    probe.GetAudioStreamInfo(0, audio);
    EXPECT_EQ(audio.Channels, -1);
    EXPECT_FALSE(probe.IsVideoStream(0));
    EXPECT_FALSE(probe.IsAudioStream(0));
    EXPECT_FALSE(probe.Seek(-1, 0));
    EXPECT_EQ(probe.LastError(), "file not loaded.");
    EXPECT_EQ(probe.DecodeFrame(-1).Width(), 0);
    EXPECT_EQ(probe.LastPicture().Width(), 0);
    probe.Close();
    EXPECT_EQ(probe.StreamCount(), -1);
    try {
        probe.Open("any.mp4", "");
        ADD_FAILURE() << "opened without libraries";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "LibAVCodec not loaded.");
    }
}
