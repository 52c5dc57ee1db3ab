#include "probe/date_time.h"

#include "platform/time_zone.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace tarnwick::probe {
namespace {

constexpr double UnixEpochDays = 25569; // 1970-01-01 as a date-time
constexpr double FirstDay = -693593;    // 0001-01-01
constexpr double LastDay = 2958466;     // 10000-01-01
constexpr int64_t MsPerDay = 86400000;

struct DateParts {
    int year, month, day, hour, minute, second, millisecond;
};

bool Decode(TDateTime value, DateParts& parts) {
    if (!std::isfinite(value) || value < FirstDay || value >= LastDay) return false;
    // Before 1899-12-30 the whole days count back while the fraction still counts forward
    // from midnight: -1.25 is 1899-12-29 06:00.
    double wholeDays = std::trunc(value);
    int64_t ms = std::llround(std::fabs(value - wholeDays) * MsPerDay);
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        wholeDays += value < 0 ? -1 : 1;
    }
    using namespace std::chrono;
    const sys_days date{days{static_cast<int64_t>(wholeDays - UnixEpochDays)}};
    const year_month_day ymd{date};
    parts.year = static_cast<int>(ymd.year());
    parts.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    parts.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    parts.hour = static_cast<int>(ms / 3600000);
    parts.minute = static_cast<int>(ms / 60000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.millisecond = static_cast<int>(ms % 1000);
    return parts.year >= 1 && parts.year <= 9999;
}

void AppendNumber(std::string& text, int value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
    text += buffer;
}

} // namespace

double LocalTimeZoneOffset() { return platform::LocalStandardOffsetSeconds() / 86400.0; }

TDateTime UnixTimeToLocal(int64_t seconds) {
    return static_cast<double>(seconds) / 86400 + UnixEpochDays + LocalTimeZoneOffset();
}

std::string FormatDateTimeText(const std::string& pattern, TDateTime value) {
    DateParts parts{};
    if (!Decode(value, parts)) return {};
    std::string text;
    for (size_t i = 0; i < pattern.size();) {
        const char letter = static_cast<char>(pattern[i] | 0x20);
        size_t run = 1;
        while (i + run < pattern.size() && (pattern[i + run] | 0x20) == letter)
            ++run;
        const bool padded = run > 1;
        switch (letter) {
        case 'y':
            if (run >= 3)
                AppendNumber(text, parts.year, 4);
            else
                AppendNumber(text, parts.year % 100, 2);
            break;
        case 'm': AppendNumber(text, parts.month, padded ? 2 : 1); break;
        case 'd': AppendNumber(text, parts.day, padded ? 2 : 1); break;
        case 'h': AppendNumber(text, parts.hour, padded ? 2 : 1); break;
        case 'n': AppendNumber(text, parts.minute, padded ? 2 : 1); break;
        case 's': AppendNumber(text, parts.second, padded ? 2 : 1); break;
        case 'z': AppendNumber(text, parts.millisecond, padded ? 3 : 1); break;
        default: text.append(pattern, i, run); break;
        }
        i += run;
    }
    return text;
}

} // namespace tarnwick::probe
