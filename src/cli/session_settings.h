#pragma once
// The settings one command-line run works with: a private copy of the user's settings file, so
// that options such as --output change nothing for the windows or the next run.

#include "platform/ini_store.h"

#include <memory>
#include <string>

namespace tarnwick::cli {

class SessionSettings {
public:
    // Seeds the user's settings file when there is none, copies it into a private temporary
    // folder and, when outputFolder is not empty, points the output and snapshot folders
    // there. Raises std::runtime_error when no temporary folder can be made.
    explicit SessionSettings(const std::string& outputFolder);
    ~SessionSettings();
    SessionSettings(const SessionSettings&) = delete;
    SessionSettings& operator=(const SessionSettings&) = delete;

    const platform::IniStore& Store() const { return *store_; }

private:
    std::string folder_;
    std::unique_ptr<platform::IniStore> store_;
};

} // namespace tarnwick::cli
