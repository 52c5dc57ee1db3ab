// A build of the libraries dropped into the LibAV folder is used whole: every library binds to
// the folder's copies of the others, never to the system's. Its own binary, since a process
// that has loaded the libraries once keeps them.
#include "binding/media_libraries.h"
#include "binding/needed_libraries.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>

using namespace tarnwick::binding;
using tarnwick::test::ExecutableFolder;
using tarnwick::test::TempFolder;
namespace fs = std::filesystem;

namespace {

const char* const LibraryNames[] = {"libavcodec.so", "libavfilter.so", "libavformat.so",
                                    "libavutil.so",  "libswscale.so",  "libswresample.so"};

// The files of each library mapped into this process, by the library's plain name.
std::map<std::string, std::set<std::string>> MappedLibraryFiles() {
    std::map<std::string, std::set<std::string>> files;
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const size_t slash = line.find('/');
        if (slash == std::string::npos) continue;
        const std::string path = line.substr(slash);
        const std::string name = fs::path(path).filename().string();
        for (const char* library : LibraryNames)
            if (name.rfind(std::string(library) + ".", 0) == 0) files[library].insert(path);
    }
    return files;
}

std::mutex logMutex;
std::vector<std::string> logLines;

void CaptureLog(void*, int, const char* format, va_list arguments) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    std::lock_guard lock(logMutex);
    logLines.emplace_back(text);
}

} // namespace

TEST(LibraryFolderCopy, EachLibraryBindsToTheFoldersCopiesAndLogsReachTheRouting) {
    // Real copies of the installed libraries, as a user's own build would be.
    TempFolder folder;
    for (const char* library : LibraryNames)
        for (const auto& entry : fs::directory_iterator(ExecutableFolder() / "LibAV")) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(std::string(library) + ".", 0) == 0 && name != library)
                fs::copy_file(fs::canonical(entry.path()), folder.Path() / name);
        }
    ASSERT_TRUE(LoadMediaLibraries(folder.Path().string(), true)) << LastLoadError();

    const auto files = MappedLibraryFiles();
    for (const char* library : LibraryNames) {
        SCOPED_TRACE(library);
        ASSERT_EQ(files.count(library), 1u);
        ASSERT_EQ(files.at(library).size(), 1u);
        EXPECT_EQ(fs::path(*files.at(library).begin()).parent_path(), folder.Path());
    }

    // A line libavcodec logs itself goes through the callback set on the folder's libavutil.
    AV.av_log_set_callback(CaptureLog);
    const AVCodec* encoder = AV.avcodec_find_encoder_by_name("mpeg4");
    ASSERT_NE(encoder, nullptr);
    AVCodecContext* context = AV.avcodec_alloc_context3(encoder);
    EXPECT_LT(AV.avcodec_open2(context, encoder, nullptr), 0); // no picture size
    AV.avcodec_free_context(&context);
    AV.av_log_set_callback(AV.av_log_default_callback);
    std::lock_guard lock(logMutex);
    EXPECT_FALSE(logLines.empty());
}

TEST(LibraryFolderCopy, NeededLibrariesAreReadFromTheFile) {
    const std::vector<std::string> needed =
        NeededLibraries(fs::canonical(ExecutableFolder() / "LibAV" / "libavformat.so").string());
    EXPECT_NE(std::find(needed.begin(), needed.end(), "libavutil.so.57"), needed.end());
    EXPECT_NE(std::find(needed.begin(), needed.end(), "libavcodec.so.59"), needed.end());
    // A cut or foreign file gives nothing, and nothing is read past what it holds.
    TempFolder folder;
    std::ofstream(folder.File("junk.so")) << "\x7f"
                                             "ELF but nothing after";
    fs::copy_file(fs::canonical(ExecutableFolder() / "LibAV" / "libavformat.so"),
                  folder.File("cut.so"));
    fs::resize_file(folder.File("cut.so"), 512);
    for (const char* name : {"junk.so", "cut.so", "missing.so"})
        EXPECT_TRUE(NeededLibraries(folder.File(name)).empty()) << name;
}
