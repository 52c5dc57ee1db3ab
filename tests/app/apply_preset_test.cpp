#include "app/core/apply_preset.h"
#include "app/core/presets.h"
#include "platform/convert.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace tarnwick::app {
namespace {

using component::TInputOptions;
using component::TOutputOptions;

struct Bands {
    int top, bottom, left, right;
    bool operator==(const Bands&) const = default;
};

struct PresetCase {
    const char* name;
    std::map<std::string, std::string> para; // the preset's settings section
    TSourceFacts source;
    Bands crop{-1, -1, -1, -1}; // as the run put them into the record
    const char* zoomMode = "lbox";
    // Expected:
    const char* frameSize;
    const char* frameAspect;
    Bands pad;
    const char* videoCodec = "mpeg4";
};

const std::map<std::string, std::string> Mpeg4(const char* size) {
    return {{"paraVideoEncoder", "mpeg4"}, {"paraVideoSize", size}};
}

TEST(ApplyPreset, LetterBoxAndSizes) {
    const PresetCase cases[] = {
        {"same shape: exact", Mpeg4("320x240"), {640, 480}, {-1, -1, -1, -1}, "lbox",
         "320x240", "320:240", {-1, -1, -1, -1}},
        {"wider source: bands above and below", Mpeg4("320x240"), {720, 404}, {-1, -1, -1, -1},
         "lbox", "320x180", "320:240", {30, 30, -1, -1}},
        {"taller source: bands left and right", Mpeg4("320x240"), {480, 480}, {-1, -1, -1, -1},
         "lbox", "240x240", "320:240", {-1, -1, 40, 40}},
        {"as source without crop", Mpeg4("as source"), {640, 480}, {-1, -1, -1, -1}, "lbox",
         "640x480", "640:480", {0, 0, 0, 0}},
        {"as source with crops 10/20", Mpeg4("as source"), {640, 480}, {10, 20, -1, -1}, "lbox",
         "640x480", "640:480", {14, 14, 0, 0}},
        {"crops count in the frame size", Mpeg4("320x240"), {720, 404}, {2, 2, 4, 4}, "lbox",
         "328x184", "320:240", {30, 30, -1, -1}},
        {"target without x", Mpeg4("null"), {640, 480}, {-1, -1, -1, -1}, "lbox", "0x0", "0:0",
         {-1, -1, -1, -1}},
        {"H.263 400x300 snaps to 704x576",
         {{"paraVideoEncoder", "h263"}, {"paraVideoSize", "400x300"}}, {640, 480},
         {-1, -1, -1, -1}, "lbox", "704x528", "704:576", {24, 24, -1, -1}, "h263"},
        {"H.263 200x150 snaps to 352x288",
         {{"paraVideoEncoder", "h263"}, {"paraVideoSize", "200x150"}}, {352, 288},
         {-1, -1, -1, -1}, "lbox", "352x288", "352:288", {0, 0, 0, 0}, "h263"},
        {"H.263 352x288 stays", {{"paraVideoEncoder", "h263"}, {"paraVideoSize", "352x288"}},
         {640, 480}, {-1, -1, -1, -1}, "lbox", "352x264", "352:288", {12, 12, -1, -1}, "h263"},
        {"other fit modes set no size", Mpeg4("320x240"), {640, 480}, {-1, -1, -1, -1}, "cent",
         "", "", {-1, -1, -1, -1}},
        {"no picture: nothing to fit", Mpeg4("320x240"), {0, 0}, {-1, -1, -1, -1}, "lbox", "",
         "", {-1, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder;
        const platform::IniStore settings(folder.File("tarnwick.ini"));
        const platform::IniStore presets(folder.File("tarnwickformat.ini"));
        for (const auto& [key, value] : c.para) settings.WriteString("formatInfo4", key, value);
        TOutputOptions output;
        output.CropTop = c.crop.top;
        output.CropBottom = c.crop.bottom;
        output.CropLeft = c.crop.left;
        output.CropRight = c.crop.right;
        TInputOptions input;
        ApplyPreset(settings, presets, c.zoomMode, 4, output, c.source, input);

        EXPECT_EQ(output.FrameSize, c.frameSize);
        EXPECT_EQ(output.FrameAspect, c.frameAspect);
        EXPECT_EQ((Bands{output.PadTop, output.PadBottom, output.PadLeft, output.PadRight}), c.pad);
        // Unset crops become 0, set ones stay.
        EXPECT_EQ((Bands{output.CropTop, output.CropBottom, output.CropLeft, output.CropRight}),
                  (Bands{std::max(c.crop.top, 0), std::max(c.crop.bottom, 0),
                         std::max(c.crop.left, 0), std::max(c.crop.right, 0)}));
        EXPECT_EQ(output.VideoCodec, c.videoCodec);
        EXPECT_EQ(output.PadColor, 0);
        EXPECT_EQ(input.ExtOptions, "");
    }
}

struct Files {
    test::TempFolder folder;
    platform::IniStore settings{folder.File("tarnwick.ini")};
    platform::IniStore presets{folder.File("tarnwickformat.ini")};
    void Para(const std::map<std::string, std::string>& values, int preset = 0) {
        for (const auto& [key, value] : values)
            settings.WriteString(PresetSection(preset), key, value);
    }
};

TEST(ApplyPreset, AudioOnlyPresetSetsAudioAndNoVideo) {
    Files files;
    files.Para({{"paraAudioEncoder", "libmp3lame"},
                {"paraChannel", "1"},
                {"paraSampleRate", "22050"},
                {"paraAudioBitRate", "96.5"},
                {"paraVolume", "512"},
                {"paraVideoSize", "320x240"}}); // ignored without a video encoder
    TOutputOptions output;
    TInputOptions input;
    ApplyPreset(files.settings, files.presets, "lbox", 0, output, {640, 480, 900000}, input);
    EXPECT_EQ(input.ExtOptions, "vn=1");
    EXPECT_EQ(output.AudioCodec, "libmp3lame");
    EXPECT_EQ(output.AudioChannels, 1);
    EXPECT_EQ(output.AudioSampleRate, 22050);
    EXPECT_EQ(output.AudioBitrate, 96500);
    EXPECT_EQ(output.AudioVolume, 512);
    EXPECT_EQ(output.VideoCodec, "");
    EXPECT_EQ(output.FrameSize, "");
    EXPECT_EQ(output.VideoBitrate, -1);
    EXPECT_EQ(output.CropTop, -1);
}

TEST(ApplyPreset, DefaultsAsSourceAndUnchangedVolume) {
    Files files;
    files.presets.WriteString("formatInfo0", "Format", "IPOD");
    files.Para({{"paraVideoEncoder", "mpeg4"}, {"paraVideoSize", "320x240"}});
    TOutputOptions output;
    TInputOptions input;
    ApplyPreset(files.settings, files.presets, "lbox", 0, output, {640, 480, 900000}, input);
    EXPECT_EQ(output.VideoTag, "DIVX");
    EXPECT_EQ(output.VideoBitrate, 512000);
    EXPECT_EQ(output.FrameRate, "29.97");
    EXPECT_EQ(output.ForceFormat, "IPOD");
    EXPECT_EQ(output.AudioCodec, "libfaac");
    EXPECT_EQ(output.AudioChannels, 2);
    EXPECT_EQ(output.AudioSampleRate, 44100);
    EXPECT_EQ(output.AudioBitrate, 128000);
    EXPECT_EQ(output.AudioVolume, -1); // no key: unchanged
    EXPECT_EQ(output.Gop, -1);

    files.Para({{"paraVideoBitRate", "as source"},
                {"paraFrameRate", "as source"},
                {"paraChannel", "as source"},
                {"paraSampleRate", "as source"},
                {"paraAudioBitRate", "as source"},
                {"paraVolume", "256"}});
    files.presets.WriteString("formatInfo0", "Format", "mp4"); // not one the program forces
    TOutputOptions asSource;
    ApplyPreset(files.settings, files.presets, "lbox", 0, asSource, {640, 480, 900000}, input);
    EXPECT_EQ(asSource.VideoBitrate, 900000);
    EXPECT_EQ(asSource.FrameRate, "");
    EXPECT_EQ(asSource.ForceFormat, "");
    EXPECT_EQ(asSource.AudioChannels, -1);
    EXPECT_EQ(asSource.AudioSampleRate, -1);
    EXPECT_EQ(asSource.AudioBitrate, -1);
    EXPECT_EQ(asSource.AudioVolume, -1);
}

TEST(ApplyPreset, H264KeepsTheOldTextAndAddsOptionLines) {
    Files files;
    files.Para({{"paraVideoEncoder", "libx264"},
                {"paraVideoSize", "320x240"},
                {"paraCoder", "1"},
                {"paraLevel", "30"},
                {"paraMaxBitrate", "2500"},
                {"paraBufferSize", "1220"},
                {"paraGop", "120"},
                {"paraProfile", "main"}});
    TOutputOptions output;
    TInputOptions input;
    ApplyPreset(files.settings, files.presets, "lbox", 0, output, {320, 240}, input);
    EXPECT_EQ(output.VideoCodec, "libx264");
    EXPECT_EQ(output.VideoTag, "");
    EXPECT_EQ(output.Gop, 120);
    EXPECT_EQ(output.ExtOptions,
              "-bitexact -vlevel 30 -qscale 25 -bufsize 1220 -maxrate 2500 -coder 1\n"
              "flags=+bitexact\nlevel=30\nbufsize=9994240\nmaxrate=2500000\ncoder=1\n"
              "profile=main");

    // The settings' own defaults: coder 0 (CAVLC), Baseline.
    Files defaults;
    defaults.Para({{"paraVideoEncoder", "libx264"}, {"paraBitExact", "false"}});
    TOutputOptions plain;
    ApplyPreset(defaults.settings, defaults.presets, "lbox", 0, plain, {320, 240}, input);
    EXPECT_EQ(plain.Gop, 250);
    EXPECT_EQ(plain.ExtOptions, " -vlevel 13 -qscale 25 -bufsize 128 -maxrate 1500 -coder 0\n"
                                "level=13\nbufsize=1048576\nmaxrate=1500000\ncoder=0\n"
                                "profile=baseline");
}

TEST(ApplyPreset, MalformedValuesRaise) {
    const std::map<std::string, std::string> bad[] = {
        {{"paraVideoEncoder", "mpeg4"}, {"paraVideoBitRate", "fast"}},
        {{"paraVideoEncoder", "mpeg4"}, {"paraVideoSize", "320xabc"}},
        {{"paraVideoEncoder", "mpeg4"}, {"paraVideoBitRate", "99999999"}}, // too many bit/s
        {{"paraVideoEncoder", "libx264"}, {"paraGop", "many"}},
        {{"paraChannel", "two"}},
        {{"paraAudioBitRate", "1e12"}},
    };
    for (const auto& para : bad) {
        Files files;
        files.Para(para);
        TOutputOptions output;
        TInputOptions input;
        EXPECT_THROW(
            ApplyPreset(files.settings, files.presets, "lbox", 0, output, {640, 480}, input),
            platform::EConvertError)
            << para.begin()->second;
    }
}

} // namespace
} // namespace tarnwick::app
