#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace tarnwick::test {

// The folder of the running test binary.
std::filesystem::path ExecutableFolder();
// Loads the media libraries from the LibAV folder beside the test binary; fails the test when
// they do not load.
void LoadLibrariesOrFail();

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Polls the condition until it holds or the timeout passes; returns whether it held.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(60));

} // namespace tarnwick::test
