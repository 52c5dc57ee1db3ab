#pragma once
// The probe's messages go to the media libraries' log with no context object, so they reach
// whoever routes the libraries' lines. Levels are the engine's (0 error, 1 info, 2 debug).
// Without libavutil loaded a message goes nowhere.

namespace tarnwick::probe {

void ProbeLog(int engineLevel, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace tarnwick::probe
