#pragma once
// Sets the TZ environment variable for one scope and puts the old value back.

#include <cstdlib>
#include <optional>
#include <string>

namespace tarnwick::test {

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
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::optional<std::string> old_;
};

} // namespace tarnwick::test
