#include "support/test_support.h"

#include "binding/media_libraries.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace tarnwick::test {

std::filesystem::path ExecutableFolder() {
    return std::filesystem::canonical("/proc/self/exe").parent_path();
}

void LoadLibrariesOrFail() {
    const std::string folder = (ExecutableFolder() / "LibAV").string();
    ASSERT_TRUE(binding::LoadMediaLibraries(folder, true)) << binding::LastLoadError();
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace tarnwick::test
