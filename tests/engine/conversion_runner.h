#pragma once
// One conversion through a real job on the calling thread: option texts, the input and output
// files, the run, and what the job logged.

#include "engine/custom_ffmpeg.h"

#include <string>
#include <utility>
#include <vector>

namespace tarnwick::test {

class Conversion {
public:
    Conversion();
    engine::TCustomFFmpeg job;

    // Applies the option text, then opens the file; fails the test when either fails.
    void Input(const std::string &path, const std::string &options = "");
    void Output(const std::string &path, const std::string &options = "");
    // Runs to the end; true when the run raised nothing.
    bool Run();
    const std::string &Error() const { return job.ExceptionMessage; }

    std::vector<std::pair<int, std::string>> logs;
    // Lines equal to `text`.
    int Count(const std::string &text) const;
    // Lines that start with `prefix`.
    int CountStartingWith(const std::string &prefix) const;
};

} // namespace tarnwick::test
