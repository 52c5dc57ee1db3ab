#include "binding/rational_helpers.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace tarnwick::binding;

TEST(RationalHelpersTest, DoubleToRationalFindsSmallTerms) {
    tarnwick::test::LoadLibrariesOrFail();
    struct Case { double value; int max; int num; int den; };
    const Case cases[] = {{4.0 / 3.0, 255, 4, 3}, {16.0 / 9.0, 255, 16, 9}, {1.0, 255, 1, 1},
                          {25.0, 1000, 25, 1}, {29.97002997, 30000, 30000, 1001}, {0.0, 255, 0, 1}};
    for (const auto& c : cases) {
        const AVRational r = DoubleToRational(c.value, c.max);
        EXPECT_EQ(r.num, c.num) << c.value;
        EXPECT_EQ(r.den, c.den) << c.value;
    }
}

TEST(RationalHelpersTest, SubtractRationalReduces) {
    tarnwick::test::LoadLibrariesOrFail();
    const AVRational r = SubtractRational({1, 2}, {1, 3});
    EXPECT_EQ(r.num, 1);
    EXPECT_EQ(r.den, 6);
    const AVRational zero = SubtractRational({3, 4}, {6, 8});
    EXPECT_EQ(zero.num, 0);
}
