#include "engine/conversion_runner.h"

#include "platform/thread_priority.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnwick::test {

Conversion::Conversion() {
    job.Prepare();
    job.LogHandler = [this](engine::TCustomFFmpeg &, int level, const std::string &text) {
        logs.emplace_back(level, text);
    };
}

void Conversion::Input(const std::string &path, const std::string &options) {
    if (!options.empty()) job.ApplyOptionText(options);
    ASSERT_TRUE(job.OpenInputFile(path)) << job.LastErrorText;
}

void Conversion::Output(const std::string &path, const std::string &options) {
    if (!options.empty()) job.ApplyOptionText(options);
    ASSERT_TRUE(job.OpenOutputFile(path)) << job.LastErrorText;
}

bool Conversion::Run() {
    job.Run(false, platform::tpNormal);
    return !job.ExceptionRaised;
}

int Conversion::Count(const std::string &text) const {
    return static_cast<int>(std::count_if(logs.begin(), logs.end(),
                                          [&](const auto &line) { return line.second == text; }));
}

int Conversion::CountStartingWith(const std::string &prefix) const {
    return static_cast<int>(std::count_if(logs.begin(), logs.end(), [&](const auto &line) {
        return line.second.rfind(prefix, 0) == 0;
    }));
}

} // namespace tarnwick::test
