#include "platform/time_zone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using tarnwick::platform::StandardTimeZoneOffsetMinutes;

namespace {

// Sets TZ for one test and puts the old value back afterwards.
class ScopedZone {
public:
    explicit ScopedZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        setenv("TZ", zone, 1);
    }
    ~ScopedZone() {
        if (saved_) setenv("TZ", saved_->c_str(), 1);
        else unsetenv("TZ");
    }

private:
    std::optional<std::string> saved_;
};

TEST(TimeZoneTest, StandardOffsetIsEastPositiveAndIgnoresDaylightSaving) {
    struct Case {
        const char* zone;
        int minutesEast;
    };
    const Case cases[] = {
        {"UTC0", 0},
        {"EST5EDT,M3.2.0,M11.1.0", -300}, // has a summer rule; the standard offset stays
        {"JST-9", 540},
        {"IST-5:30", 330},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 60},
    };
    for (const Case& c : cases) {
        ScopedZone zone(c.zone);
        EXPECT_EQ(StandardTimeZoneOffsetMinutes(), c.minutesEast) << c.zone;
    }
}

} // namespace
