#include "probe/date_time.h"
#include "probe/probe_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace tarnwick;
using namespace tarnwick::probe;

namespace {

TEST(DateTimeTest, UnixTimeToLocalUsesTheStandardOffsetAllYear) {
    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_DOUBLE_EQ(LocalTimeZoneOffset(), 1.0 / 24);
    EXPECT_DOUBLE_EQ(UnixTimeToLocal(0), 25569 + 1.0 / 24);
    const char* pattern = "yyyy-mm-dd hh:nn:ss";
    EXPECT_EQ(FormatDateTimeText(pattern, UnixTimeToLocal(0)), "1970-01-01 01:00:00");
    // 2009-07-15 12:34:56 UTC: summer, yet one hour ahead, not two.
    EXPECT_EQ(FormatDateTimeText(pattern, UnixTimeToLocal(1247661296)), "2009-07-15 13:34:56");
}

TEST(DateTimeTest, WestOfUtcGoesBack) {
    test::ScopedTimeZone zone("EST5EDT,M3.2.0,M11.1.0");
    EXPECT_DOUBLE_EQ(LocalTimeZoneOffset(), -5.0 / 24);
    EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd hh:nn:ss", UnixTimeToLocal(0)), "1969-12-31 19:00:00");
}

TEST(DateTimeTest, FormatDateTimeTextPatterns) {
    const double value = 39979.5 + (7 * 60 + 5) / 86400.0; // 2009-06-15 12:07:05
    struct Case {
        const char* pattern;
        const char* text;
    };
    const Case cases[] = {
        {"yyyy-mm-dd hh:nn:ss", "2009-06-15 12:07:05"},
        {"YYYY/MM/DD HH.NN", "2009/06/15 12.07"},
        {"d.m.yy h:n:s", "15.6.09 12:7:5"},
        {"hh:nn:ss.zzz", "12:07:05.000"},
        {"[yyyy]", "[2009]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDateTimeText(c.pattern, value), c.text) << c.pattern;
    EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd hh:nn:ss", 0), "1899-12-30 00:00:00");
    // Before the epoch of date-times the fraction still counts from midnight.
    EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
    // A time a hair below midnight rounds to the next day, not to 24:00.
    EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd hh:nn:ss", 39979.9999999999), "2009-06-16 00:00:00");
}

TEST(DateTimeTest, ValuesOutsideTheCalendarGiveEmptyText) {
    // A creation time read from a file may be anything; it must not turn into a crash.
    for (double value :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1e300,
          1e300, 2958466.0, -693594.0})
        EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd", value), "") << value;
    EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd", -693593.0), "0001-01-01");
    EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd", 2958465.5), "9999-12-31");
}

} // namespace
