#include "probe/rational_compare.h"
#include "probe/text_helpers.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using namespace tarnwick::probe;

namespace {

TEST(TextHelpersTest, FormatDuration) {
    const std::pair<int64_t, const char*> cases[] = {
        {3723456789, "01:02:03.456"},
        {0, "00:00:00.000"},
        {999, "00:00:00.000"}, // below a millisecond
        {59999999, "00:00:59.999"},
        {90040000, "00:01:30.040"},
        {100 * 3600000000LL, "100:00:00.000"}, // hours do not wrap at 24
    };
    for (const auto& [us, text] : cases)
        EXPECT_EQ(FormatDuration(us), text) << us;
}

TEST(TextHelpersTest, FormatFileSize) {
    const std::pair<int64_t, const char*> cases[] = {
        {-1, "-1 Byte"},         {0, "0 Byte"},
        {1024, "1024 Byte"},     {1025, "1.00 KB"},
        {1536, "1.50 KB"},       {1048576, "1024.00 KB"},
        {1048577, "1.00 MB"},    {1073741824, "1024.00 MB"},
        {3000000000, "2.79 GB"},
    };
    for (const auto& [size, text] : cases)
        EXPECT_EQ(FormatFileSize(size), text) << size;
}

TEST(TextHelpersTest, FormatSecondsMicroKeepsTheSignInFront) {
    EXPECT_EQ(FormatSecondsMicro(500000), "0.500000");
    EXPECT_EQ(FormatSecondsMicro(12000001), "12.000001");
    EXPECT_EQ(FormatSecondsMicro(-21333), "-0.021333");
    EXPECT_EQ(FormatSecondsMicro(-1500000), "-1.500000");
    EXPECT_EQ(FormatSecondsMicro(INT64_MIN + 1), "-9223372036854.775807");
}

TEST(TextHelpersTest, GetFileSizeOnDisk) {
    tarnwick::test::TempFolder folder;
    const std::string file = folder.File("sized.bin");
    std::ofstream(file, std::ios::binary) << std::string(1536, 'x');
    EXPECT_EQ(GetFileSizeOnDisk(file), 1536);
    EXPECT_EQ(GetFileSizeOnDisk(folder.File("missing.bin")), -1);
    EXPECT_EQ(GetFileSizeOnDisk(folder.Path().string()), -1); // a folder has no file size
    EXPECT_EQ(GetFileSizeOnDisk(""), -1);

    // A relative name is taken from the working directory.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    EXPECT_EQ(GetFileSizeOnDisk("sized.bin"), 1536);
    std::filesystem::current_path(previous);
}

TEST(TextHelpersTest, CompareRational) {
    struct Case {
        AVRational a, b;
        int sign;
    };
    const Case cases[] = {
        {{1, 25}, {1, 30}, 1},
        {{1, 30}, {1, 25}, -1},
        {{2, 50}, {1, 25}, 0},
        {{-1, 2}, {1, 3}, -1},
        // Products beyond 32 bits: a wrapping comparison would call 30000/1001 the smaller.
        {{30000, 1001}, {1, 90000}, 1},
        {{1, 90000}, {30000, 1001}, -1},
        {{2147483647, 1}, {2147483647, 2}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareRational(c.a, c.b), c.sign)
            << c.a.num << "/" << c.a.den << " vs " << c.b.num << "/" << c.b.den;
}

TEST(TextHelpersTest, RationalToDouble) {
    EXPECT_DOUBLE_EQ(RationalToDouble({30000, 1001}), 30000.0 / 1001.0);
    EXPECT_DOUBLE_EQ(RationalToDouble({-1, 4}), -0.25);
    EXPECT_TRUE(std::isinf(RationalToDouble({1, 0})));
}

} // namespace
