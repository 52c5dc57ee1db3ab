// The setup of a run, shown by real conversions of generated clips: the choice of sources, the
// listing, the map checks, stream copy and its time base, the two-pass log files.
#include "transcode_job.h"

#include "binding/media_libraries.h"
#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <numeric>
#include <sys/socket.h>
#include <unistd.h>

using namespace tarnwick;
using binding::AV;
using engine::TStreamMap;
using fixtures::FileInfo;
using fixtures::StreamInfo;

namespace {

std::vector<int> Sequence(int count) {
    std::vector<int> numbers(count);
    std::iota(numbers.begin(), numbers.end(), 0);
    return numbers;
}

TEST(TranscodeSetup, VideoAndAudioIntoMp4TakeTheirOwnSourcesAndDecodeToTheEnd) {
    test::TempFolder folder;
    const std::string input = folder.File("in.mp4");
    const std::string output = folder.File("out.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(25, true));

    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(run.Input(input));
    run.Job.VideoCodecName = "mpeg4";
    run.Job.AudioCodecName = "aac";
    ASSERT_NO_FATAL_FAILURE(run.Output(output));
    run.RunHere();
    ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
    EXPECT_TRUE(run.Job.Finished);
    EXPECT_EQ(run.Terminations(), 1);

    const int listing = run.IndexOf("Stream mapping:");
    ASSERT_GE(listing, 0);
    const auto logs = run.Logs();
    ASSERT_GT(logs.size(), static_cast<size_t>(listing + 2));
    EXPECT_EQ(logs[listing + 1], std::make_pair(1, std::string("  Stream #0.0 -> #0.0")));
    EXPECT_EQ(logs[listing + 2], std::make_pair(1, std::string("  Stream #0.1 -> #0.1")));

    const FileInfo info = fixtures::ReadFileInfo(output);
    ASSERT_EQ(info.streams.size(), 2u);
    const StreamInfo& video = info.streams[0];
    EXPECT_EQ(video.type, AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(video.codecName, "mpeg4");
    EXPECT_EQ(video.width, 160);
    EXPECT_EQ(video.height, 120);
    EXPECT_EQ(video.frameCount, 25);
    EXPECT_NEAR(video.durationSeconds, 1.0, 0.04);
    EXPECT_EQ(fixtures::ReadFrameNumbers(output), Sequence(25));
    const StreamInfo& audio = info.streams[1];
    EXPECT_EQ(audio.type, AVMEDIA_TYPE_AUDIO);
    EXPECT_EQ(audio.codecName, "aac");
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_NEAR(audio.durationSeconds, 1.0, 0.04);
    EXPECT_NEAR(static_cast<double>(audio.sampleCount), 44100, 2048);
    EXPECT_NEAR(fixtures::ReadAudioRms(output, 0.1, 0.9), 0.354, 0.05);
}

TEST(TranscodeSetup, ASecondAudioOutputReusesTheOnlyAudioInput) {
    test::TempFolder folder;
    const std::string input = folder.File("in.mp4");
    const std::string output = folder.File("out.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(25, true));

    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(run.Input(input));
    run.Job.VideoDisable = true;
    run.Job.AudioCodecName = "aac";
    ASSERT_NO_FATAL_FAILURE(run.Output(output));
    run.Job.AudioCodecName = "aac";
    run.Job.AddAudioStreamToLastOutput();
    // Private options go to both encoders and the muxer; what none of them takes is told once.
    AV.av_dict_set(&run.Job.EncoderPrivateOptions[AVMEDIA_TYPE_AUDIO], "aac_coder", "fast", 0);
    AV.av_dict_set(&run.Job.EncoderPrivateOptions[AVMEDIA_TYPE_AUDIO], "no_such_option", "1", 0);
    AV.av_dict_set(&run.Job.MuxerPrivateOptions, "movflags", "+faststart", 0);
    AV.av_dict_set(&run.Job.MuxerPrivateOptions, "no_muxer_option", "1", 0);
    run.RunHere();
    ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
    EXPECT_EQ(run.LinesWith("was not taken"),
              (std::vector<std::string>{"Option no_such_option was not taken by the encoder aac",
                                        "Option no_muxer_option was not taken by the muxer mp4"}));

    EXPECT_EQ(run.LinesWith("  Stream #0.1 -> #0.").size(), 2u);
    EXPECT_GE(run.IndexOf("  Stream #0.1 -> #0.1"), 0);
    const FileInfo info = fixtures::ReadFileInfo(output);
    ASSERT_EQ(info.streams.size(), 2u);
    for (const StreamInfo& audio : info.streams) {
        EXPECT_EQ(audio.type, AVMEDIA_TYPE_AUDIO);
        EXPECT_NEAR(static_cast<double>(audio.sampleCount), 44100, 2048);
    }
}

TEST(TranscodeSetup, MapsThatNameNoUsableStreamFailBeforeAnyPacket) {
    struct Case {
        std::vector<TStreamMap> maps;
        const char* message;
    };
    const Case cases[] = {
        {{{0, 3, 0, 3}, {0, 1, 0, 1}}, "Could not find input stream #0.3"},
        {{{0, 0, 0, 0}, {0, 1, 1, 0}}, "Could not find sync stream #1.0"},
        {{{0, 0, 0, 0}}, "Number of stream maps must match number of output streams"},
        {{{0, 1, 0, 1}, {0, 0, 0, 0}}, "Codec type mismatch for mapping #0.1 -> #0.0"},
    };
    test::TempFolder folder;
    const std::string input = folder.File("in.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(10, true));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const std::string output = folder.File("out.mp4");
        test::TranscodeJob run;
        ASSERT_NO_FATAL_FAILURE(run.Input(input));
        ASSERT_NO_FATAL_FAILURE(run.Output(output));
        for (const TStreamMap& map : c.maps)
            run.Job.AddStreamMap(map);
        run.RunHere();
        EXPECT_TRUE(run.Job.ExceptionRaised);
        EXPECT_FALSE(run.Job.Finished);
        EXPECT_EQ(run.Job.ExceptionMessage, c.message);
        EXPECT_EQ(run.LinesWith(c.message).size(), 1u);
        EXPECT_TRUE(run.Job.OpenEncoders.empty());
        EXPECT_TRUE(run.Job.OpenDecoders.empty());
        // Nothing was written, so nothing is left behind.
        EXPECT_FALSE(std::filesystem::exists(output));
    }
}

TEST(TranscodeSetup, StreamCopyWritesTheInputPacketsFromTheFirstKeyPacketOn) {
    test::TempFolder folder;
    const std::string whole = folder.File("whole.mp4");
    fixtures::WriteClip(whole, fixtures::SimpleClip(50, true));
    // A transport stream cut in the middle of a group of pictures starts without a key packet.
    const std::string ts = folder.File("whole.ts");
    const std::string cut = folder.File("cut.ts");
    fixtures::WriteClip(ts, fixtures::SimpleClip(50, false));
    {
        std::ifstream in(ts, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        const size_t skip = (bytes.size() / 3) / 188 * 188;
        std::ofstream(cut, std::ios::binary).write(bytes.data() + skip, bytes.size() - skip);
    }
    struct Case {
        std::string input;
        std::vector<AVMediaType> types;
    };
    for (const Case& c :
         {Case{whole, {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}}, Case{cut, {AVMEDIA_TYPE_VIDEO}}}) {
        SCOPED_TRACE(c.input);
        const std::string output = folder.File("copy.mkv");
        test::TranscodeJob run;
        ASSERT_NO_FATAL_FAILURE(run.Input(c.input));
        run.Job.VideoStreamCopy = true;
        run.Job.AudioStreamCopy = true;
        ASSERT_NO_FATAL_FAILURE(run.Output(output));
        run.RunHere();
        ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
        EXPECT_TRUE(run.Job.Finished);

        for (const AVMediaType type : c.types) {
            auto expected = test::ReadPackets(c.input, type);
            const auto firstKey = std::find_if(expected.begin(), expected.end(),
                                               [](const test::TPacketCopy& p) { return p.Key; });
            if (c.input == cut) {
                EXPECT_NE(firstKey, expected.begin());
            }
            expected.erase(expected.begin(), firstKey);
            const auto written = test::ReadPackets(output, type);
            ASSERT_FALSE(written.empty());
            ASSERT_EQ(written.size(), expected.size());
            for (size_t i = 0; i < written.size(); ++i)
                ASSERT_EQ(written[i].Data, expected[i].Data) << "packet " << i;
        }
    }
}

TEST(TranscodeSetup, StreamCopyTakesTheDecoderTimeBaseOnlyForVeryFineStreamTimeBases) {
    struct Case {
        const char* inputName;
        AVRational inputTimeBase;
        AVRational copied;
    };
    // Transport streams count in 1/90000, finer than a millisecond and than one picture of
    // 1/25; Matroska counts milliseconds, which stay.
    for (const Case& c :
         {Case{"in.ts", {1, 90000}, {1, 25}}, Case{"in.mkv", {1, 1000}, {1, 1000}}}) {
        SCOPED_TRACE(c.inputName);
        test::TempFolder folder;
        const std::string input = folder.File(c.inputName);
        const std::string output = folder.File("copy.avi");
        fixtures::WriteClip(input, fixtures::SimpleClip(10, false));
        ASSERT_EQ(av_cmp_q(test::StreamTimeBase(input, AVMEDIA_TYPE_VIDEO), c.inputTimeBase), 0);
        test::TranscodeJob run;
        ASSERT_NO_FATAL_FAILURE(run.Input(input));
        run.Job.VideoStreamCopy = true;
        ASSERT_NO_FATAL_FAILURE(run.Output(output));
        run.RunHere();
        ASSERT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;
        const AVRational written = test::StreamTimeBase(output, AVMEDIA_TYPE_VIDEO);
        EXPECT_EQ(av_cmp_q(written, c.copied), 0) << written.num << "/" << written.den;
        EXPECT_EQ(fixtures::ReadFrameNumbers(output), Sequence(10));
    }
}

TEST(TranscodeSetup, VideoCopyRefusesFrameHooks) {
    test::TempFolder folder;
    const std::string input = folder.File("in.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(5, false));
    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(run.Input(input));
    run.Job.VideoStreamCopy = true;
    ASSERT_NO_FATAL_FAILURE(run.Output(folder.File("out.mp4")));
    run.Job.CustomHookHandler = [](engine::TCustomFFmpeg&, platform::Bitmap24&, int32_t, int64_t,
                                   bool&, bool&) {};
    run.RunHere();
    EXPECT_EQ(run.Job.ExceptionMessage,
              "-vcodec copy and CustomHook are incompatible (frames are not decoded)");
}

// An output sent as RTP: the run logs the session description a receiver needs, and the
// packets reach the address. The test's own socket is the receiver.
TEST(TranscodeSetup, AnRtpOutputLogsItsSessionDescriptionAndSendsItsPackets) {
    const int receiver = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(receiver, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(getsockname(receiver, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const int port = ntohs(address.sin_port);

    test::TempFolder folder;
    const std::string input = folder.File("in.mp4");
    fixtures::WriteClip(input, fixtures::SimpleClip(5, false));
    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(run.Input(input));
    run.Job.VideoCodecName = "mpeg4";
    run.Job.SetOutputFormat("rtp");
    ASSERT_NO_FATAL_FAILURE(run.Output("rtp://127.0.0.1:" + std::to_string(port)));
    run.RunHere();
    EXPECT_FALSE(run.Job.ExceptionRaised) << run.Job.ExceptionMessage;

    const auto sdp = run.LinesWith("SDP: ");
    ASSERT_EQ(sdp.size(), 1u);
    EXPECT_EQ(sdp[0].find("SDP: v=0"), 0u) << sdp[0];
    EXPECT_NE(sdp[0].find("m=video " + std::to_string(port) + " RTP/AVP 96"), std::string::npos)
        << sdp[0];
    unsigned char packet[2048];
    const ssize_t received = recv(receiver, packet, sizeof packet, MSG_DONTWAIT);
    close(receiver);
    ASSERT_GT(received, 12) << "no RTP packet arrived";
    EXPECT_EQ(packet[0] >> 6, 2) << "RTP version";
}

// The pass log file's default name is relative to the working directory.
class TwoPass : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    void Run(int pass, const std::string& output, test::TranscodeJob& run) {
        ASSERT_NO_FATAL_FAILURE(run.Input(input_));
        run.Job.VideoCodecName = "mpeg4";
        run.Job.DoPass = pass;
        ASSERT_NO_FATAL_FAILURE(run.Output(folder_.File(output)));
        run.RunHere();
    }

    test::TempFolder folder_;
    std::filesystem::path previous_;
    std::string input_ = folder_.File("in.mp4");
};

TEST_F(TwoPass, SecondPassReadsTheLogTheFirstPassWrote) {
    fixtures::WriteClip(input_, fixtures::SimpleClip(25, false));
    {
        test::TranscodeJob first;
        ASSERT_NO_FATAL_FAILURE(Run(1, "pass1.mp4", first));
        ASSERT_FALSE(first.Job.ExceptionRaised) << first.Job.ExceptionMessage;
    }
    ASSERT_TRUE(std::filesystem::exists("ffmpeg2pass-0.log"));
    EXPECT_GT(std::filesystem::file_size("ffmpeg2pass-0.log"), 0u);
    test::TranscodeJob second;
    ASSERT_NO_FATAL_FAILURE(Run(2, "pass2.mp4", second));
    ASSERT_FALSE(second.Job.ExceptionRaised) << second.Job.ExceptionMessage;
    EXPECT_EQ(fixtures::ReadFrameNumbers(folder_.File("pass2.mp4")), Sequence(25));
}

TEST_F(TwoPass, SecondPassWithoutItsLogFails) {
    fixtures::WriteClip(input_, fixtures::SimpleClip(5, false));
    test::TranscodeJob run;
    ASSERT_NO_FATAL_FAILURE(Run(2, "pass2.mp4", run));
    EXPECT_TRUE(run.Job.ExceptionRaised);
    EXPECT_EQ(run.Job.ExceptionMessage, "creat open fail: ffmpeg2pass-0.log");
}

} // namespace
