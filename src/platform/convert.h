#pragma once
// Number conversion with the platform's rules and error texts.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarnwick::platform {

// Raised when a text is not a number of the asked kind.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Integer text: leading blanks, an optional sign, then decimal digits, or hexadecimal digits
// after "$" or "0x"; nothing may follow. Raises EConvertError with
// "'<text>' is not a valid integer value" (also when the value does not fit).
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);

// Decimal text with an optional fraction and exponent, blanks around it allowed. Raises
// EConvertError with "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text);

// The C library's strtod as it reads in the "C" locale, whatever locale the process runs in:
// the decimal separator is always ".". The program's numbers (option texts, settings) are
// written that way, and a desktop started in a comma-decimal locale must read them alike.
double CStrToD(const char* text, char** end);

// Removes leading and trailing blanks and control characters.
std::string Trim(std::string_view text);

} // namespace tarnwick::platform
