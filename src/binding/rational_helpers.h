#pragma once

#include "binding/media_headers.h"

namespace tarnwick::binding {

// The nearest rational to value with both terms at most max in magnitude.
AVRational DoubleToRational(double value, int max);
// a - b, reduced, with terms at most 2147483647. The cross products wrap in 32 bits.
AVRational SubtractRational(AVRational a, AVRational b);

} // namespace tarnwick::binding
