#include "app/app_test_support.h"
#include "app/core/app_paths.h"
#include "app/core/preset_choices.h"
#include "app/core/presets.h"
#include "app/core/settings_keys.h"
#include "platform/convert.h"

#include <gtest/gtest.h>

#include <set>

namespace tarnwick::app {
namespace {

TEST(Presets, TwentyOneNamesExactly) {
    std::vector<std::string> items{"kept"};
    FillPresetList(items);
    ASSERT_EQ(items.size(), 22u);
    EXPECT_EQ(items[1], "iPod Video MPEG-4 (*.mp4)");
    EXPECT_EQ(items[2], "iPod Video H.264  (*.mp4)");
    EXPECT_EQ(items[7], "Apple TV MPEG-4 Low  480P (640 x 480) (*.mp4)");
    EXPECT_EQ(items[16], "Apple H.264 480P (640 x 480)  (*.mp4)");
    EXPECT_EQ(items[21], "AAC Advenced Audio Codec (*.aac)");
    EXPECT_EQ(PresetSection(20), "formatInfo20");
}

TEST(Presets, ValueListText) {
    const struct {
        const char* text;
        bool emptyMeansNull;
        bool enabled;
        std::vector<std::string> items;
    } cases[] = {
        {"320x240,640x480,", false, true, {"320x240", "640x480", ""}},
        {"null", false, false, {}},
        {"null", true, false, {}},
        {"", true, false, {}},
        {"", false, true, {""}},
        {"aac", true, true, {"aac"}},
        {",", true, true, {"", ""}},
    };
    for (const auto& c : cases) {
        const TValueList list = ParseValueList(c.text, c.emptyMeansNull);
        EXPECT_EQ(list.Enabled, c.enabled) << c.text;
        EXPECT_EQ(list.Items, c.items) << c.text;
    }
}

TEST(Presets, ListKeysReadInOrderWithTheirDefaults) {
    test::TempFolder folder;
    const IniStore presets(folder.File("p.ini"));
    presets.WriteString("formatInfo3", "VideoSize", "");
    presets.WriteString("formatInfo3", "AudioBitRate", "");
    presets.WriteString("formatInfo3", "VideoEncoder", "");
    presets.WriteString("formatInfo3", "Volume", "50%,100%");
    const auto lists = ReadValueLists(presets, 3);
    EXPECT_TRUE(lists[plVideoSize].Enabled);   // the first lists take an empty text as an item
    EXPECT_FALSE(lists[plAudioBitRate].Enabled); // the last six take it as "null"
    EXPECT_FALSE(lists[plVideoEncoder].Enabled);
    EXPECT_TRUE(lists[plVideoEncoder].Items.empty());
    EXPECT_FALSE(lists[plFrameRate].Enabled);    // missing key
    EXPECT_EQ(lists[plVolume].Items, (std::vector<std::string>{"50%", "100%"}));
    EXPECT_EQ(PresetIndexKey(plChannel), "iChannel");
    EXPECT_EQ(ReadPresetFileExt(presets, 3), "mp4");
    EXPECT_EQ(ReadPresetFormat(presets, 3), "null");
}

TEST(PresetChoices, Tables) {
    EXPECT_EQ(VideoEncoderSetting("MPEG-4"), "mpeg4");
    EXPECT_EQ(VideoEncoderSetting("xvid"), "libxvid");
    EXPECT_EQ(VideoEncoderSetting("h264"), "libx264");
    EXPECT_EQ(VideoEncoderSetting("H263"), "H263");
    EXPECT_FALSE(VideoEncoderSetting("vp9"));
    EXPECT_EQ(AudioEncoderSetting("AAC"), "libfaac");
    EXPECT_EQ(AudioEncoderSetting("mp3"), "libmp3lame");
    EXPECT_EQ(AudioEncoderSetting("pcm_mulaw "), "pcm_mulaw");
    EXPECT_FALSE(AudioEncoderSetting("pcm_mulaw")); // the table's text has a trailing blank
    EXPECT_EQ(ChannelSetting("mono 1 channel"), "1");
    EXPECT_EQ(ChannelSetting("stereo 2 channels"), "2");
    EXPECT_EQ(ChannelSetting("as source"), "as source");
    EXPECT_FALSE(ChannelSetting("Mono 1 channel"));
    EXPECT_EQ(VolumeSetting("100%"), "256");
    EXPECT_EQ(VolumeSetting("25%"), "64");
    EXPECT_EQ(VolumeSetting("400%"), "1024");
    EXPECT_FALSE(VolumeSetting("110%"));
    EXPECT_FALSE(VolumeSetting(""));
    EXPECT_THROW(VolumeSetting("abc%"), platform::EConvertError);
}

struct DialogFiles {
    test::TempFolder folder;
    IniStore settings{folder.File("tarnwick.ini")};
    IniStore presets{folder.File("tarnwickformat.ini")};
};

TEST(PresetChoices, OkWritesTheSelectionAndTheH264Parameters) {
    DialogFiles files;
    const std::string s = "formatInfo1";
    files.presets.WriteString(s, "paraCoder", "0");
    files.presets.WriteString(s, "paraBitExact", "TRUE");
    files.presets.WriteString(s, "paraLevel", "0"); // not greater than 0: not copied
    files.settings.WriteString(s, "paraLevel", "30");
    files.settings.WriteString(s, "paraVolume", "512");
    TPresetChoices choices;
    choices[plVideoSize] = {0, "320x240"};
    choices[plVideoEncoder] = {1, "h264"};
    choices[plAudioEncoder] = {0, "aac"};
    choices[plChannel] = {1, "mono 1 channel"};
    choices[plVolume] = {4, "110%"}; // not in the table: the old value stays
    WritePresetChoices(files.settings, files.presets, 1, choices);

    auto read = [&](const char* key) { return files.settings.ReadString(s, key, "<absent>"); };
    EXPECT_EQ(ReadOutputFormat(files.settings), 1);
    EXPECT_EQ(read("Description"), "iPod Video H.264  (*.mp4)");
    EXPECT_EQ(read("iVideoSize"), "0");
    EXPECT_EQ(read("iVideoEncoder"), "1");
    EXPECT_EQ(read("iFrameRate"), "-1");
    EXPECT_EQ(read("paraVideoSize"), "320x240");
    EXPECT_EQ(read("paraFrameRate"), "");
    EXPECT_EQ(read("paraVideoEncoder"), "libx264");
    EXPECT_EQ(read("paraCoder"), "1");
    EXPECT_EQ(read("paraBitExact"), "TRUE");
    EXPECT_EQ(read("paraLevel"), "30");
    EXPECT_EQ(read("paraMaxBitrate"), "1500");
    EXPECT_EQ(read("paraGop"), "250");
    EXPECT_EQ(read("paraProfile"), "baseline");
    EXPECT_EQ(read("paraChannel"), "1");
    EXPECT_EQ(read("paraVolume"), "512");
    EXPECT_EQ(read("paraAudioEncoder"), "libfaac");
}

TEST(PresetChoices, BadNumberStopsTheWriterWithEarlierKeysWritten) {
    DialogFiles files;
    files.presets.WriteString("formatInfo14", "paraMaxBitrate", "fast");
    TPresetChoices choices;
    choices[plVideoSize] = {0, "320x240"};
    choices[plVideoEncoder] = {0, "h264"};
    choices[plSampleRate] = {0, "44100"};
    EXPECT_THROW(WritePresetChoices(files.settings, files.presets, 14, choices),
                 platform::EConvertError);
    EXPECT_EQ(files.settings.ReadString("formatInfo14", "paraVideoEncoder", ""), "libx264");
    EXPECT_EQ(files.settings.ReadString("formatInfo14", "paraSampleRate", "<absent>"),
              "<absent>");
}

// The shipped files agree: every preset has its lists, and the default settings are exactly
// what OK writes for the factory choices.
TEST(ShippedData, PresetsAndDefaultSettingsAgree) {
    const IniStore presets(PresetsFilePath());
    const IniStore shipped(ShippedSettingsFilePath());
    test::TempFolder folder;
    const IniStore written(folder.File("tarnwick.ini"));
    const std::set<std::string> extensions = {"mp4", "m4a", "m4v", "mp3", "aac"};
    for (int n = 0; n < PresetCount; ++n) {
        SCOPED_TRACE(n);
        const auto lists = ReadValueLists(presets, n);
        const auto factory = ReadFactoryChoices(presets, n);
        EXPECT_TRUE(extensions.contains(
            presets.ReadString(PresetSection(n), "FileExt", "<absent>")));
        TPresetChoices choices;
        for (int i = 0; i < plCount; ++i) {
            if (lists[i].Enabled) {
                EXPECT_LT(size_t(factory[i]), lists[i].Items.size()) << i;
            }
            choices[i] = ChoiceAt(lists[i], factory[i]);
        }
        EXPECT_TRUE(lists[plAudioEncoder].Enabled && lists[plVolume].Enabled);
        WritePresetChoices(written, presets, n, choices);

        std::vector<std::string> keys = {"Description",   "paraVideoSize",   "paraVideoBitRate",
                                         "paraFrameRate", "paraVideoEncoder", "paraSampleRate",
                                         "paraAudioBitRate", "paraChannel",  "paraVolume",
                                         "paraAudioEncoder"};
        for (int i = 0; i < plCount; ++i) keys.push_back(PresetIndexKey(TPresetList(i)));
        for (const auto& key : H264Keys) keys.emplace_back(key.Key);
        for (const auto& key : keys)
            EXPECT_EQ(shipped.ReadString(PresetSection(n), key, "<absent>"),
                      written.ReadString(PresetSection(n), key, "<absent>"))
                << key;
    }
    EXPECT_EQ(ReadOutputFormat(shipped), 0);
}

} // namespace
} // namespace tarnwick::app
