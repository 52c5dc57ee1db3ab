#include "platform/time_zone.h"

#include "support/scoped_time_zone.h"

#include <gtest/gtest.h>

namespace tarnwick::platform {
namespace {

TEST(TimeZone, StandardOffsetIgnoresDaylightSaving) {
    struct Case {
        const char* zone;
        int offset;
    };
    for (const Case& c : {Case{"UTC0", 0}, Case{"CET-1CEST,M3.5.0,M10.5.0/3", 3600},
                          Case{"EST5EDT,M3.2.0,M11.1.0", -18000}, Case{"IST-5:30", 19800}}) {
        test::ScopedTimeZone zone(c.zone);
        EXPECT_EQ(LocalStandardOffsetSeconds(), c.offset) << c.zone;
    }
}

} // namespace
} // namespace tarnwick::platform
