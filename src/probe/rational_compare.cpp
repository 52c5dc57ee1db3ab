#include "probe/rational_compare.h"

#include <cstdint>

namespace tarnwick::probe {

int CompareRational(AVRational a, AVRational b) {
    // Each product is below 2^62 in magnitude, so their difference cannot overflow.
    const int64_t difference = int64_t{a.num} * b.den - int64_t{b.num} * a.den;
    return (difference > 0) - (difference < 0);
}

double RationalToDouble(AVRational r) {
    return static_cast<double>(r.num) / static_cast<double>(r.den);
}

} // namespace tarnwick::probe
