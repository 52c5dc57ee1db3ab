#include "app/core/row_records.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace tarnwick::app {
namespace {

struct RowFiles {
    test::TempFolder folder;
    platform::IniStore settings{folder.File("tarnwick.ini")};
    platform::IniStore presets{folder.File("tarnwickformat.ini")};
    RowFiles() {
        settings.WriteString("formatInfo0", "paraVideoEncoder", "mpeg4");
        settings.WriteString("formatInfo0", "paraVideoSize", "320x240");
    }
};

TEST(RowRecords, TrimAndDestination) {
    RowFiles files;
    TlvFilesRecord row;
    row.SourceFile = "/media/clip.avi";
    row.TrimStart = 5000;
    row.TrimLength = 10000;
    const TRowRecords trimmed =
        MakeRowRecords(row, 0, "/out/clip_(new).mp4", "", {640, 480}, files.settings, files.presets);
    EXPECT_EQ(trimmed.Input.FileName, "/media/clip.avi");
    EXPECT_EQ(trimmed.Input.StartTime, 5000);
    EXPECT_EQ(trimmed.Output.FileName, "/out/clip_(new).mp4");
    EXPECT_EQ(trimmed.Output.RecordingTime, 10000);
    EXPECT_EQ(trimmed.Output.FrameSize, "320x240");

    row.TrimStart = 0;
    row.TrimLength = 0;
    const TRowRecords whole =
        MakeRowRecords(row, 0, "/out/x.mp4", "avi", {640, 480}, files.settings, files.presets);
    EXPECT_EQ(whole.Input.StartTime, 0);
    EXPECT_EQ(whole.Input.ForceFormat, "avi");
    EXPECT_EQ(whole.Output.RecordingTime, -1);
}

TEST(RowRecords, CropBandsTakenOnlyWhenOneIsSet) {
    RowFiles files;
    TlvFilesRecord row;
    row.SourceFile = "/media/clip.avi";
    row.ZoomMode = "cent"; // keeps the bands as they come, no fitting
    const TRowRecords none =
        MakeRowRecords(row, 0, "/out/x.mp4", "", {640, 480}, files.settings, files.presets);
    EXPECT_EQ(none.Output.CropTop, 0); // unset bands read as 0 after the preset
    row.CropLeft = 8;
    row.CropBottom = 4;
    const TRowRecords cropped =
        MakeRowRecords(row, 0, "/out/x.mp4", "", {640, 480}, files.settings, files.presets);
    EXPECT_EQ(cropped.Output.CropLeft, 8);
    EXPECT_EQ(cropped.Output.CropBottom, 4);
    EXPECT_EQ(cropped.Output.CropTop, 0);
    EXPECT_EQ(cropped.Output.CropRight, 0);
}

} // namespace
} // namespace tarnwick::app
