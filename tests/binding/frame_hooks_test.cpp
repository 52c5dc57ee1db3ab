#include "binding/frame_hooks.h"

#include "binding/log_capture.h"
#include "binding/media_libraries.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <array>
#include <filesystem>
#include <vector>

using namespace tarnwick::binding;
using tarnwick::test::ExecutableFolder;
using tarnwick::test::LibraryLogCapture;
namespace fs = std::filesystem;

namespace {

std::string TestHook(const std::string& name) {
    return (ExecutableFolder() / "test_hooks" / (name + ".so")).string();
}

int Add(FrameHookList& list, std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    return AddFrameHook(list, static_cast<int>(argv.size()), argv.data());
}

int ModuleCounter(const std::string& module, const char* counter) {
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return -1;
    auto fn = reinterpret_cast<int (*)()>(dlsym(handle, counter));
    const int value = fn ? fn() : -1;
    dlclose(handle);
    return value;
}

class FrameHooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarnwick::test::LoadLibrariesOrFail();
        workingDirectory = fs::current_path();
    }
    void TearDown() override {
        ReleaseFrameHooks(list);
        EXPECT_EQ(fs::current_path(), workingDirectory);
    }
    FrameHookList list;
    fs::path workingDirectory;
};

} // namespace

TEST_F(FrameHooksTest, SameModuleLoadsOnceConfiguresPerAdditionAndRunsInListOrder) {
    const std::string stamp = TestHook("stamp_hook");
    const int modulesBefore = LoadedHookModuleCount();
    ASSERT_EQ(Add(list, {stamp, "1"}), 0);
    ASSERT_EQ(Add(list, {stamp, "2"}), 0);
    EXPECT_EQ(LoadedHookModuleCount(), modulesBefore + 1);
    const int configured = ModuleCounter(stamp, "ConfigureCount");
    EXPECT_EQ(configured, 2);

    std::array<uint8_t, 16> pixels{};
    FrameHookPicture picture{{pixels.data()}, {4}};
    RunFrameHooks(list, picture, AV_PIX_FMT_GRAY8, 4, 4, 0);
    EXPECT_EQ(pixels[0], 12); // (0 * 10 + 1) * 10 + 2: first added ran first

    const int releasedBefore = ModuleCounter(stamp, "ReleaseCount");
    ReleaseFrameHooks(list);
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(ModuleCounter(stamp, "ReleaseCount"), releasedBefore + 2);
}

TEST_F(FrameHooksTest, FailuresGiveTheirCodesAndMessages) {
    struct Case {
        std::vector<std::string> args;
        int result;
        std::string message;
    };
    const std::string noConfigure = TestHook("no_configure_hook");
    const std::string failing = TestHook("failing_configure_hook");
    const std::string noProcess = TestHook("no_process_hook");
    const Case cases[] = {
        {{noConfigure, "arg"}, -2, "Failed to find Configure entrypoint in " + noConfigure + "\n"},
        {{failing}, -22, "Failed to Configure " + failing + "\n"},
        {{noProcess}, -2, "Failed to find Process entrypoint in " + noProcess + "\n"},
    };
    for (const auto& c : cases) {
        LibraryLogCapture log;
        EXPECT_EQ(Add(list, c.args), c.result) << c.args[0];
        EXPECT_EQ(log.Lines(), std::vector<std::string>{c.message});
        EXPECT_TRUE(list.Empty());
    }
    EXPECT_EQ(AddFrameHook(list, 0, nullptr), -2);
}

TEST_F(FrameHooksTest, ModuleThatDoesNotLoadLogsTheSystemText) {
    LibraryLogCapture log;
    EXPECT_EQ(Add(list, {"/nonexistent/module.so"}), -1);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_NE(log.Lines()[0].find("/nonexistent/module.so"), std::string::npos);
}

TEST_F(FrameHooksTest, ModuleWithoutConfigureGivenOnlyItsNameIsAdded) {
    ASSERT_EQ(Add(list, {TestHook("no_configure_hook")}), 0);
    ASSERT_FALSE(list.Empty());
    EXPECT_EQ(list.first->context, nullptr);
}

TEST_F(FrameHooksTest, ShippedBoxModulePaintsItsBox) {
    const std::string box = (ExecutableFolder() / "boxhook.so").string();
    ASSERT_EQ(Add(list, {box, "2", "1", "3", "2", "ffffff"}), 0);
    EXPECT_EQ(Add(list, {box, "2", "x", "3", "2"}), -22);
    constexpr int w = 8, h = 4;
    std::vector<uint8_t> y(w * h, 16), u(w * h / 4, 128), v(w * h / 4, 128);
    FrameHookPicture picture{{y.data(), u.data(), v.data()}, {w, w / 2, w / 2}};
    RunFrameHooks(list, picture, AV_PIX_FMT_YUV420P, w, h, 0);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const bool inside = col >= 2 && col < 5 && row >= 1 && row < 3;
            EXPECT_EQ(y[row * w + col], inside ? 235 : 16) << row << "," << col;
        }
}
