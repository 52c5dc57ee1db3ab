#pragma once
// A locale whose decimal separator is a comma, compiled at test time (the machine need not
// have any locale but "C" installed).

#include <string>

namespace tarnwick::test {

// Compiles "de_DE.UTF-8" with localedef into a folder of its own (once per process), points
// LOCPATH at it and returns the locale's name. Raises std::runtime_error when it cannot be
// made (the Debian package "locales" holds the sources).
std::string CommaDecimalLocale();

// Sets LC_NUMERIC to the comma locale for the object's life, then back to what it was.
class ScopedCommaNumbers {
public:
    ScopedCommaNumbers();
    ~ScopedCommaNumbers();
    ScopedCommaNumbers(const ScopedCommaNumbers&) = delete;
    ScopedCommaNumbers& operator=(const ScopedCommaNumbers&) = delete;

private:
    std::string previous_;
};

} // namespace tarnwick::test
