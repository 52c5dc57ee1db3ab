#include "platform/time_zone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tarnwick::platform {
namespace {

// Sets TZ for one test and puts the old value back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone, 1);
    }
    ~ScopedTimeZone() {
        if (old_) setenv("TZ", old_->c_str(), 1);
        else unsetenv("TZ");
    }

private:
    std::optional<std::string> old_;
};

TEST(TimeZone, StandardOffsetIgnoresDaylightSaving) {
    struct Case {
        const char* zone;
        int offset;
    };
    for (const Case& c : {Case{"UTC0", 0}, Case{"CET-1CEST,M3.5.0,M10.5.0/3", 3600},
                          Case{"EST5EDT,M3.2.0,M11.1.0", -18000}, Case{"IST-5:30", 19800}}) {
        ScopedTimeZone zone(c.zone);
        EXPECT_EQ(LocalStandardOffsetSeconds(), c.offset) << c.zone;
    }
}

} // namespace
} // namespace tarnwick::platform
