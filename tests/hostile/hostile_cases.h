#pragma once
// Damaged and awkward inputs, each written at test time: the table the component and the
// command-line suites both run.
#include "support/test_support.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tarnwick::test {

struct Paths {
    std::string input;
    std::string output;
};

struct HostileCase {
    const char* name;
    // Writes the hostile input (and may choose another output path) before the job is added.
    std::function<void(const TempFolder&, Paths&)> make;
    // Runs between SetJobOutput and StartJobs.
    std::function<void(const Paths&)> beforeRun = nullptr;
    // A sound input that must convert, not merely end cleanly.
    bool mustConvert = false;
};

// Test names carry the case; the record itself says nothing printable.
inline void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

// Every case, in the order they run.
const std::vector<HostileCase>& HostileCases();

// The sound clip queued behind each hostile one: 12 pictures and a tone.
void WriteSoundClip(const std::string& path);
constexpr int SoundClipFrames = 12;

} // namespace tarnwick::test
