#pragma once
// Rational comparison and conversion for time bases and frame rates.

#include "binding/media_headers.h"

namespace tarnwick::probe {

// The sign (1, -1 or 0) of a.num * b.den - b.num * a.den. Computed in 64 bits, so time bases
// like 1/90000 against 30000/1001 compare right (32-bit products would wrap).
int CompareRational(AVRational a, AVRational b);

// num / den in floating point; a zero denominator gives an infinity or not-a-number.
double RationalToDouble(AVRational r);

} // namespace tarnwick::probe
