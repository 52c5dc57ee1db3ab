#include "platform/convert.h"

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace tarnwick::platform {
namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

[[noreturn]] void InvalidInteger(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

int64_t ParseInteger(std::string_view text, int64_t minValue, int64_t maxValue) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) InvalidInteger(text);
    // Accumulate as a negative magnitude so the smallest value fits.
    const int64_t limit = std::numeric_limits<int64_t>::min();
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        int digit;
        if (std::isdigit(c)) digit = c - '0';
        else if (base == 16 && std::isxdigit(c)) digit = std::tolower(c) - 'a' + 10;
        else InvalidInteger(text);
        if (value < (limit + digit) / base) InvalidInteger(text);
        value = value * base - digit;
    }
    if (!negative) {
        if (value == limit) InvalidInteger(text);
        value = -value;
    }
    if (value < minValue || value > maxValue) InvalidInteger(text);
    return value;
}

} // namespace

int32_t StrToInt(std::string_view text) {
    return static_cast<int32_t>(ParseInteger(text, std::numeric_limits<int32_t>::min(),
                                             std::numeric_limits<int32_t>::max()));
}

int64_t StrToInt64(std::string_view text) {
    return ParseInteger(text, std::numeric_limits<int64_t>::min(),
                        std::numeric_limits<int64_t>::max());
}

double StrToFloat(std::string_view text) {
    auto invalid = [&]() -> double {
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    };
    const std::string trimmed = Trim(text);
    // Only plain decimal notation: strtod alone would also take hex, "inf" and "nan".
    size_t i = 0;
    const size_t n = trimmed.size();
    if (i < n && (trimmed[i] == '+' || trimmed[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(trimmed[i]))) ++i, ++digits;
    if (i < n && trimmed[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(trimmed[i]))) ++i, ++digits;
    }
    if (digits == 0) return invalid();
    if (i < n && (trimmed[i] == 'e' || trimmed[i] == 'E')) {
        ++i;
        if (i < n && (trimmed[i] == '+' || trimmed[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(trimmed[i]))) ++i, ++expDigits;
        if (expDigits == 0) return invalid();
    }
    if (i != n) return invalid();
    errno = 0;
    const double value = CStrToD(trimmed.c_str(), nullptr);
    if (errno == ERANGE && (value == HUGE_VAL || value == -HUGE_VAL)) return invalid();
    return value;
}

double CStrToD(const char* text, char** end) {
    // Made once and kept for the life of the process; newlocale only fails without memory.
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(text, end, cLocale);
}

std::string Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlankOrControl(text[begin])) ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

} // namespace tarnwick::platform
