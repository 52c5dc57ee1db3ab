#include "binding/log_capture.h"
#include "binding/media_libraries.h"
#include "fixtures/fixture_writer.h"
#include "probe/av_probe.h"
#include "probe/probe_test_support.h"
#include "probe/text_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace tarnwick;
using namespace tarnwick::probe;
using binding::AV;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line must end with CR LF too";
    return lines;
}

bool Logged(const test::LibraryLogCapture& log, const std::string& line) {
    const auto lines = log.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ProbeOpenTest : public test::ProbeTest {
protected:
    // A second of 160x120 mpeg4 at 25 frames/s and AAC stereo tone, tagged.
    std::string TaggedMp4() {
        const std::string path = folder_.File("tagged.mp4");
        fixtures::ClipSpec spec = fixtures::SimpleClip(25, true);
        spec.metadata = {{"title", "A Title"},
                         {"artist", "An Artist"},
                         {"copyright", "(c) Nobody"},
                         {"comment", "A comment"},
                         {"album", "An Album"},
                         {"genre", "Ambient"},
                         {"date", "2009-05-01"},
                         {"track", "3/12"},
                         {"creation_time", "2009-07-15T12:34:56.000000Z"}};
        fixtures::WriteClip(path, spec);
        return path;
    }
};

TEST_F(ProbeOpenTest, InfoTextOfAnMp4HasEveryLine) {
    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const std::string path = TaggedMp4();
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, "")) << probe.LastError();
    const std::vector<std::string> expected = {
        "File Name: " + path,
        "Format Name: mov,mp4,m4a,3gp,3g2,mj2",
        "Format Long Name: QuickTime / MOV",
        "File Size: " + FormatFileSize(static_cast<int64_t>(std::filesystem::file_size(path))),
        "StartTime: 0.000000",
        "Duration: 00:00:01.000",
        "Bit Rate: 392 Kbps",
        "Time Stamp: 2009-07-15 13:34:56", // standard time: one hour east, also in summer
        "Title: A Title",
        "Author: An Artist",
        "Copyright: (c) Nobody",
        "Comment: A comment",
        "Album: An Album",
        "Genre: Ambient",
        "Year: 2009",
        "Track: #3",
        "Stream #0[0x1](und), 1/12800: Video: mpeg4 (Simple Profile) (mp4v / 0x7634706D), "
        "yuv420p, 160x120 [SAR 1:1 DAR 4:3], 243 kb/s, 25.00 tb(r), StartTime: 0.000000, "
        "Duration: 00:00:01.000",
        "Stream #1[0x2](und), 1/44100: Audio: aac (LC) (mp4a / 0x6134706D), 44100 Hz, stereo, "
        "fltp, 126 kb/s, StartTime: 0.000000, Duration: 00:00:01.000",
    };
    EXPECT_EQ(Lines(probe.InfoText()), expected);
}

TEST_F(ProbeOpenTest, ProgramsListTheirStreams) {
    const std::string path = folder_.File("clip.ts");
    fixtures::ClipSpec spec = fixtures::SimpleClip(25, true);
    spec.metadata = {{"title", "A Title"}};
    fixtures::WriteClip(path, spec);
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, "")) << probe.LastError();
    ASSERT_EQ(probe.ProgramCount(), 1);
    const auto lines = Lines(probe.InfoText());
    const auto program = std::find(lines.begin(), lines.end(), "Program 1 A Title@FFmpeg");
    ASSERT_NE(program, lines.end());
    ASSERT_EQ(lines.end() - program, 3) << "the program line is followed by its two streams";
    // The transport stream shows its stream ids; the video starts after the audio.
    EXPECT_EQ(program[1], "Stream #0[0x100], 1/90000: Video: mpeg4 (Simple Profile) "
                          "([16][0][0][0] / 0x0010), yuv420p, 160x120 [SAR 1:1 DAR 4:3], "
                          "25.00 tb(r), StartTime: 0.023222, Duration: 00:00:01.000");
    EXPECT_EQ(program[2].substr(0, 40), "Stream #1[0x101], 1/90000: Audio: aac (L");
}

TEST_F(ProbeOpenTest, FileWithoutDurationSaysNotAvailable) {
    const std::string path = folder_.File("raw.m4v");
    fixtures::ClipSpec spec = fixtures::SimpleClip(10, false);
    spec.format = "m4v";
    fixtures::WriteClip(path, spec);
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, "")) << probe.LastError();
    const auto lines = Lines(probe.InfoText());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Duration: N/A"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Bit Rate: N/A"), lines.end());
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back().ends_with(", Duration: N/A")) << lines.back();
}

TEST_F(ProbeOpenTest, StillPictureOpensAsImage2AndTakesItsSizeFromDisk) {
    const std::string path = folder_.File("picture.png");
    fixtures::WriteClip(path, fixtures::SimpleClip(1, false));
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, "")) << probe.LastError();
    EXPECT_EQ(probe.FormatName(), "image2");
    EXPECT_EQ(probe.ForcedFormat(), "");
    // The picture demuxer reads the file itself: the container knows no size.
    ASSERT_EQ(probe.Context()->pb, nullptr);
    const auto onDisk = static_cast<int64_t>(std::filesystem::file_size(path));
    EXPECT_EQ(probe.FileSize(), onDisk);
    const auto lines = Lines(probe.InfoText());
    EXPECT_EQ(lines.at(3), "File Size: " + FormatFileSize(onDisk));
}

TEST_F(ProbeOpenTest, OpenFailuresLeaveTheProbeEmpty) {
    const std::string clip = folder_.File("clip.mp4");
    fixtures::WriteClip(clip, fixtures::SimpleClip(5, false));
    const std::string garbage = folder_.File("garbage.mp4");
    fixtures::WriteGarbageFile(garbage);
    const std::string missing = folder_.File("missing.mp4");
    struct Case {
        std::string file, format, error;
    };
    const Case cases[] = {
        {missing, "", missing + ": no such file or directory"},
        {clip, "nosuchformat", "Unknown input format: nosuchformat"},
        {garbage, "", garbage + ": Unknown format"},
    };
    for (const Case& c : cases) {
        TAVProbe probe;
        ASSERT_TRUE(probe.Open(clip, "")); // a loaded file is closed first
        EXPECT_FALSE(probe.Open(c.file, c.format)) << c.file;
        EXPECT_EQ(probe.LastError(), c.error);
        EXPECT_EQ(probe.Context(), nullptr);
        EXPECT_EQ(probe.StreamCount(), -1);
        EXPECT_EQ(probe.ForcedFormat(), "");
    }
    // A known forced format is used and remembered.
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(clip, "mp4")) << probe.LastError();
    EXPECT_EQ(probe.ForcedFormat(), "mp4");
}

TEST_F(ProbeOpenTest, RecordsOfAVideoAndAnAudioStream) {
    const std::string path = TaggedMp4();
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, ""));
    EXPECT_EQ(probe.StreamCount(), 2);
    EXPECT_EQ(probe.VideoStreamCount(), 1);
    EXPECT_EQ(probe.AudioStreamCount(), 1);
    EXPECT_EQ(probe.SubtitleStreamCount(), 0);
    EXPECT_EQ(probe.FirstVideoStream(), 0);
    EXPECT_EQ(probe.FirstAudioStream(), 1);
    EXPECT_EQ(probe.FirstSubtitleStream(), -1);
    EXPECT_EQ(probe.ProgramCount(), 0);

    TAVFormatInfo format;
    probe.GetFormatInfo(format);
    EXPECT_EQ(format.StartTime, 0);
    EXPECT_EQ(format.Duration, 1000000);
    EXPECT_EQ(format.TimeStamp, 1247661296);
    EXPECT_STREQ(format.Title, "A Title");
    EXPECT_STREQ(format.Author, "An Artist");
    EXPECT_STREQ(format.Genre, "Ambient");
    EXPECT_EQ(format.Year, 2009);
    EXPECT_EQ(format.Track, 3);

    TAVVideoStreamInfo video;
    probe.GetVideoStreamInfo(-1, video);
    EXPECT_STREQ(video.Language, "und");
    EXPECT_STREQ(video.CodecName, "mpeg4");
    EXPECT_EQ(video.StartTime, 0);
    EXPECT_EQ(video.StartTimeUs, 0);
    EXPECT_EQ(video.Duration, 12800); // time base 1/12800
    EXPECT_EQ(video.DurationUs, 1000000);
    EXPECT_EQ(video.Width, 160);
    EXPECT_EQ(video.Height, 120);
    EXPECT_FLOAT_EQ(video.AspectRatio, 4.0f / 3.0f);
    EXPECT_EQ(video.PixelFormat, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(video.FrameRateNum, 25);
    EXPECT_EQ(video.FrameRateDen, 1);
    EXPECT_GT(video.BitRate, 0);

    TAVAudioStreamInfo audio;
    probe.GetAudioStreamInfo(-1, audio);
    EXPECT_STREQ(audio.CodecName, "aac");
    EXPECT_EQ(audio.Channels, 2);
    EXPECT_EQ(audio.SampleRate, 44100);
    EXPECT_EQ(audio.SampleFormat, AV_SAMPLE_FMT_FLTP);
    EXPECT_EQ(audio.DurationUs, 1000000);

    EXPECT_TRUE(probe.IsVideoStream(0));
    EXPECT_FALSE(probe.IsVideoStream(1));
    EXPECT_TRUE(probe.IsAudioStream(1));
}

TEST_F(ProbeOpenTest, BadStreamQueriesLogAndLeaveTheDefaults) {
    const std::string path = folder_.File("tone.m4a");
    fixtures::ClipSpec spec;
    spec.audio = fixtures::AudioSpec{};
    fixtures::WriteClip(path, spec);
    TAVProbe probe;
    ASSERT_TRUE(probe.Open(path, ""));
    EXPECT_EQ(probe.VideoStreamCount(), 0);
    EXPECT_EQ(probe.FirstVideoStream(), -1);

    struct Case {
        int index;
        std::string line;
    };
    for (const Case& c :
         {Case{-1, "no video stream.\n"}, Case{0, "stream #0 is not video stream.\n"},
          Case{2, "stream index #2 is invalid.\n"}}) {
        test::LibraryLogCapture log;
        TAVVideoStreamInfo video;
        video.Width = 77;
        probe.GetVideoStreamInfo(c.index, video);
        EXPECT_TRUE(Logged(log, c.line)) << c.index;
        EXPECT_EQ(video.Width, -1);
        EXPECT_EQ(video.Height, -1);
        EXPECT_EQ(video.FrameRateNum, -1);
        EXPECT_EQ(video.StartTimeUs, -1);
        EXPECT_EQ(video.AspectRatio, -1.0f);
        EXPECT_STREQ(video.CodecName, "");
    }
    {
        test::LibraryLogCapture log;
        EXPECT_FALSE(probe.IsAudioStream(-1));
        EXPECT_FALSE(probe.IsVideoStream(1));
        EXPECT_TRUE(Logged(log, "stream index #-1 is invalid.\n"));
        EXPECT_TRUE(Logged(log, "stream index #1 is invalid.\n"));
    }
    TAVAudioStreamInfo audio;
    probe.GetAudioStreamInfo(-1, audio);
    EXPECT_EQ(audio.SampleRate, 44100);
}

TEST_F(ProbeOpenTest, CloseEmptiesEverythingButTheLastError) {
    const std::string path = folder_.File("clip.mp4");
    fixtures::WriteClip(path, fixtures::SimpleClip(5, false));
    TAVProbe probe;
    EXPECT_FALSE(probe.Open(folder_.File("missing.mp4"), ""));
    const std::string failure = probe.LastError();
    ASSERT_TRUE(probe.Open(path, ""));
    EXPECT_EQ(probe.StreamCount(), 1);
    probe.Close();
    for (int value :
         {probe.StreamCount(), probe.ProgramCount(), probe.AudioStreamCount(),
          probe.VideoStreamCount(), probe.SubtitleStreamCount(), probe.FirstAudioStream(),
          probe.FirstVideoStream(), probe.FirstSubtitleStream()})
        EXPECT_EQ(value, -1);
    EXPECT_EQ(probe.LastError(), failure);

    test::LibraryLogCapture log;
    EXPECT_EQ(probe.InfoText(), "");
    EXPECT_EQ(probe.FileName(), "");
    EXPECT_EQ(probe.FormatName(), "");
    EXPECT_EQ(probe.FileSize(), -1);
    EXPECT_FALSE(probe.IsVideoStream(0));
    TAVFormatInfo format;
    probe.GetFormatInfo(format);
    EXPECT_EQ(format.Duration, -1);
    EXPECT_EQ(format.BitRate, -1);
    EXPECT_EQ(format.Year, -1);
    EXPECT_STREQ(format.Title, "");
    const auto lines = log.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "file not loaded.\n"), 6);
}

TEST_F(ProbeOpenTest, AttachedContextIsReadButNeverClosed) {
    const std::string path = TaggedMp4();
    AVFormatContext* context = nullptr;
    ASSERT_GE(AV.avformat_open_input(&context, path.c_str(), nullptr, nullptr), 0);
    ASSERT_GE(AV.avformat_find_stream_info(context, nullptr), 0);
    std::string ownText;
    {
        TAVProbe own;
        ASSERT_TRUE(own.Open(path, ""));
        ownText = own.InfoText();
    }
    {
        TAVProbe probe;
        probe.AttachContext(context);
        EXPECT_FALSE(probe.OwnsContext());
        EXPECT_EQ(probe.StreamCount(), 2);
        EXPECT_EQ(probe.InfoText(), ownText);
        EXPECT_EQ(test::RaisedText([&] { probe.Seek(-1, 0); }),
                  "file cannot be seeked, handle is readonly.");
        EXPECT_EQ(probe.LastError(), "file cannot be seeked, handle is readonly.");
        EXPECT_EQ(test::RaisedText([&] { probe.DecodeFrame(-1); }),
                  "frame cannot be read, handle is readonly.");
        EXPECT_EQ(probe.LastError(), "frame cannot be read, handle is readonly.");
        probe.Close();
        EXPECT_EQ(probe.StreamCount(), -1);
        probe.AttachContext(context);
    } // destroyed while attached
    // The context is still whole: its owner reads from it and closes it.
    AVPacket* packet = AV.av_packet_alloc();
    EXPECT_GE(AV.av_read_frame(context, packet), 0);
    AV.av_packet_free(&packet);
    AV.avformat_close_input(&context);
}

TEST_F(ProbeOpenTest, MissingLibrariesAreNamed) {
    // The probe checks before it touches anything; libswscale is the last in the order.
    binding::UnloadMediaLibrary(binding::MediaLibrary::SwScale);
    TAVProbe probe;
    const std::string message = test::RaisedText([&] { probe.Open(folder_.File("any.mp4"), ""); });
    std::string error;
    ASSERT_TRUE(binding::LoadMediaLibrary(
        binding::MediaLibrary::SwScale, (test::ExecutableFolder() / "LibAV").string(), true, error))
        << error;
    EXPECT_EQ(message, "LibSwScale not loaded.");
}

} // namespace
