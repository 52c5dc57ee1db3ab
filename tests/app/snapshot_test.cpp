#include "app/app_test_support.h"
#include "app/core/picture_files.h"
#include "app/core/settings_keys.h"
#include "app/core/snapshot.h"
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <jpeglib.h>

namespace tarnwick::app {
namespace {

// A picture whose every pixel differs from its neighbours, so that a flipped or shifted row
// shows.
void Pattern(platform::Bitmap24& picture, int width, int height) {
    picture.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = picture.ScanLine(y) + x * 3;
            p[0] = uint8_t(x * 7);
            p[1] = uint8_t(y * 5);
            p[2] = uint8_t(x + y);
        }
}

uint32_t Le(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + i]);
    return value;
}

std::string Read(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(platform::ReadFileContents(path, bytes)) << path;
    return bytes;
}

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

DecodedJpeg DecodeJpeg(const std::string& bytes) {
    DecodedJpeg out;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        out.width = int(info.output_width);
        out.height = int(info.output_height);
        out.rgb.resize(size_t(out.width) * out.height * 3);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = out.rgb.data() + size_t(info.output_scanline) * out.width * 3;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    return out;
}

TEST(PictureFiles, BmpHeaderAndBottomUpPaddedRows) {
    platform::Bitmap24 picture;
    Pattern(picture, 5, 3); // 15 bytes a row, padded to 16
    const auto encoded = EncodeBmp(picture);
    const std::string bytes(encoded.begin(), encoded.end());
    ASSERT_EQ(bytes.size(), 54u + 16 * 3);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(Le(bytes, 2, 4), bytes.size());
    EXPECT_EQ(Le(bytes, 10, 4), 54u);
    EXPECT_EQ(Le(bytes, 14, 4), 40u);
    EXPECT_EQ(Le(bytes, 18, 4), 5u);
    EXPECT_EQ(Le(bytes, 22, 4), 3u);
    EXPECT_EQ(Le(bytes, 26, 2), 1u);
    EXPECT_EQ(Le(bytes, 28, 2), 24u);
    EXPECT_EQ(Le(bytes, 30, 4), 0u);
    for (int fileRow = 0; fileRow < 3; ++fileRow) {
        const uint8_t* source = picture.ScanLine(2 - fileRow);
        EXPECT_EQ(std::memcmp(bytes.data() + 54 + fileRow * 16, source, 15), 0) << fileRow;
        EXPECT_EQ(bytes[54 + fileRow * 16 + 15], 0);
    }
}

TEST(PictureFiles, JpegDecodesAtThePictureSizeWithItsColours) {
    platform::Bitmap24 picture(64, 48);
    picture.Fill(/*blue*/ 200, /*green*/ 40, /*red*/ 10);
    const auto encoded = EncodeJpeg(picture, 90);
    const DecodedJpeg decoded = DecodeJpeg(std::string(encoded.begin(), encoded.end()));
    ASSERT_EQ(decoded.width, 64);
    ASSERT_EQ(decoded.height, 48);
    const uint8_t* middle = decoded.rgb.data() + (24 * 64 + 32) * 3;
    EXPECT_NEAR(middle[0], 10, 4);
    EXPECT_NEAR(middle[1], 40, 4);
    EXPECT_NEAR(middle[2], 200, 4);
    EXPECT_THROW(EncodeJpeg(platform::Bitmap24(), 30), std::runtime_error);
}

TEST(Snapshot, SwitchesChooseTheFiles) {
    const struct {
        TSnapshotSettings switches;
        std::vector<std::string> files;
    } cases[] = {
        {{1, 1, 1, 1, 30},
         {"Snapshot_full.bmp", "Snapshot_small.bmp", "Snapshot_full.jpg", "Snapshot_small.jpg"}},
        {{1, 0, 1, 0, 30}, {"Snapshot_full.bmp"}},
        {{0, 1, 0, 1, 30}, {"Snapshot_small.jpg"}},
        {{1, 1, 2, 1, 30}, {"Snapshot_full.jpg", "Snapshot_small.jpg"}}, // only 1 switches on
        {{0, 0, 1, 1, 30}, {}},
    };
    platform::Bitmap24 full, small;
    Pattern(full, 64, 48);
    Pattern(small, 217, 188);
    for (const auto& c : cases) {
        test::ScopedHome home;
        const IniStore settings(home.Folder().File("settings.ini"));
        const std::string folder = home.Folder().File("snaps");
        WriteSnapshotFolder(settings, folder);
        WriteSnapshotSettings(settings, c.switches);
        test::RecordingMessageBox messages;

        const auto written = SaveSnapshots(settings, full, small, messages);
        std::vector<std::string> expected;
        for (const auto& name : c.files) expected.push_back(folder + "/" + name);
        EXPECT_EQ(written, expected);
        size_t present = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            (void)entry;
            ++present;
        }
        EXPECT_EQ(present, c.files.size());
    }
}

TEST(Snapshot, FilesHoldThePicturesAndReplaceOldOnes) {
    test::ScopedHome home;
    const IniStore settings(home.Folder().File("settings.ini"));
    const std::string folder = home.Folder().File("snaps/");
    WriteSnapshotFolder(settings, folder);
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(platform::ReplaceFileContents(folder + "Snapshot_full.bmp", "old"));
    platform::Bitmap24 full, small;
    Pattern(full, 33, 21);
    Pattern(small, 217, 188);
    test::RecordingMessageBox messages;
    SaveSnapshots(settings, full, small, messages);

    const auto bmp = EncodeBmp(full);
    EXPECT_EQ(Read(folder + "Snapshot_full.bmp"), std::string(bmp.begin(), bmp.end()));
    const DecodedJpeg fullJpeg = DecodeJpeg(Read(folder + "Snapshot_full.jpg"));
    EXPECT_EQ(fullJpeg.width, 33);
    EXPECT_EQ(fullJpeg.height, 21);
    const DecodedJpeg smallJpeg = DecodeJpeg(Read(folder + "Snapshot_small.jpg"));
    EXPECT_EQ(smallJpeg.width, 217);
    EXPECT_EQ(smallJpeg.height, 188);
}

TEST(Snapshot, UncreatableFolderWarnsAndUsesTheDefault) {
    test::ScopedHome home;
    const IniStore settings(home.Folder().File("settings.ini"));
    ASSERT_TRUE(platform::ReplaceFileContents(home.Folder().File("file"), "x"));
    WriteSnapshotFolder(settings, home.Folder().File("file/snaps"));
    WriteSnapshotSettings(settings, {1, 0, 1, 0, 30});
    platform::Bitmap24 full, small;
    Pattern(full, 8, 8);
    test::RecordingMessageBox messages;
    const auto written = SaveSnapshots(settings, full, small, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(written, std::vector<std::string>{home.Home() + "/tarnwick/Snapshot_full.bmp"});
    EXPECT_EQ(ReadSnapshotFolder(settings), home.Home() + "/tarnwick");
}

} // namespace
} // namespace tarnwick::app
