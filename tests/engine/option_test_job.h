#pragma once
// A prepared job that records its log lines, for the option tests.

#include "engine/custom_ffmpeg.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarnwick::test {

struct OptionTestJob {
    std::unique_ptr<engine::TCustomFFmpeg> job = std::make_unique<engine::TCustomFFmpeg>();
    std::vector<std::string> logs;

    OptionTestJob() {
        job->Prepare();
        job->LogHandler = [this](engine::TCustomFFmpeg&, int, const std::string& text) {
            logs.push_back(text);
        };
    }
    engine::TCustomFFmpeg* operator->() { return job.get(); }
    engine::TCustomFFmpeg& operator*() { return *job; }

    // The text of the error the call raises, or "" when it raises none.
    template <typename Call> static std::string ErrorOf(Call&& call) {
        try {
            call();
        } catch (const std::exception& error) {
            return error.what();
        }
        return "";
    }
};

class OptionTest : public ::testing::Test {
protected:
    void SetUp() override { LoadLibrariesOrFail(); }
};

} // namespace tarnwick::test
