#include "component/option_records.h"

#include <gtest/gtest.h>

namespace tarnwick::component {
namespace {

TEST(OptionRecords, ClearingRestoresEveryUnsetValue) {
    TInputOptions input;
    input.FileName = "a.avi";
    input.ForceFormat = "avi";
    input.StartTime = 5;
    input.ProgramId = 3;
    input.ExtOptions = "an";
    ClearInputOptions(input);
    EXPECT_TRUE(input.FileName.empty());
    EXPECT_TRUE(input.ForceFormat.empty());
    EXPECT_EQ(input.StartTime, -1);
    EXPECT_EQ(input.ProgramId, -1);
    EXPECT_TRUE(input.ExtOptions.empty());

    TOutputOptions output;
    output.AudioSync = 3;
    output.VideoSync = 2;
    output.CropTop = 10;
    output.PadColor = 0xffffff;
    output.Timestamp = 40000.5;
    output.TargetDefaultNorm = 2;
    output.BeforeHook = true;
    SetRecordText(output.Title, "title");
    SetRecordText(output.Genre, "genre");
    output.ExtOptions = "vn";
    ClearOutputOptions(output);
    EXPECT_EQ(output.AudioSync, 0);
    EXPECT_EQ(output.VideoSync, -1);
    EXPECT_EQ(output.CropTop, -1);
    EXPECT_EQ(output.PadColor, 0);
    EXPECT_EQ(output.Timestamp, -1.0);
    EXPECT_EQ(output.MuxDelay, -1.0f);
    EXPECT_EQ(output.Target, 0);
    EXPECT_EQ(output.TargetNorm, 0);
    EXPECT_EQ(output.TargetDefaultNorm, 1);
    EXPECT_FALSE(output.BeforeHook);
    EXPECT_EQ(RecordText(output.Title), "");
    EXPECT_EQ(RecordText(output.Genre), "");
    EXPECT_TRUE(output.ExtOptions.empty());
}

TEST(OptionRecords, FixedTextsStopAtTheirFirstNulAndNeverOverrun) {
    TGenreText genre{};
    SetRecordText(genre, std::string(40, 'g'));
    EXPECT_EQ(RecordText(genre), std::string(31, 'g'));

    TMetadataText title{};
    title.fill('t'); // no NUL at all: the whole array is the text
    EXPECT_EQ(RecordText(title).size(), 512u);
    title[3] = '\0';
    EXPECT_EQ(RecordText(title), "ttt");
}

} // namespace
} // namespace tarnwick::component
