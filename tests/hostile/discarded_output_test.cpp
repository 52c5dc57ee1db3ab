// A run that raises must not leave the part it wrote: a header and some packets without a
// trailer look like a finished file to anyone listing the folder. The job's run calls
// DiscardOutputFiles when its transcode raises. It may only ever remove a regular file that the
// job created: an output path can name a device, a pipe, a link or a file the user had.
#include "engine/custom_ffmpeg.h"
#include "fixtures/fixture_writer.h"
#include "support/test_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;
using tarnwick::engine::TCustomFFmpeg;
using tarnwick::test::TempFolder;

class DiscardedOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        tarnwick::test::LoadLibrariesOrFail();
        tarnwick::fixtures::WriteClip(input, tarnwick::fixtures::SimpleClip(5, false));
        job.Prepare();
        ASSERT_TRUE(job.OpenInputFile(input)) << job.LastErrorText;
    }
    void TearDown() override { job.FreeJobResources(); }

    TempFolder folder;
    const std::string input = folder.File("in.mp4");
    TCustomFFmpeg job;
};

// What the path names, without following a link; the file type bits, 0 when nothing.
mode_t TypeOf(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

// A character device that swallows nothing, like /dev/full. Made in the test's folder when the
// test may make device nodes (as root, as in CI), so that a fault removes no node of the
// machine's; otherwise /dev/full itself, which an unprivileged user cannot remove anyway.
std::string FullDevice(const TempFolder& folder) {
    const std::string own = folder.File("full");
    if (mknod(own.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) return own;
    return "/dev/full";
}

// A fifo with a reader that takes everything until the writer closes it, since opening a fifo
// for writing waits for a reader.
class FifoReader {
public:
    explicit FifoReader(std::string path) : path_(std::move(path)) {
        if (mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("mkfifo " + path_);
        reader_ = std::thread([this] {
            const int fd = open(path_.c_str(), O_RDONLY);
            char buffer[4096];
            while (fd >= 0 && read(fd, buffer, sizeof buffer) > 0) {
            }
            if (fd >= 0) close(fd);
        });
    }
    // Releases a reader still waiting for a writer, then waits for it.
    ~FifoReader() {
        const int fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
        reader_.join();
    }

private:
    std::string path_;
    std::thread reader_;
};

} // namespace

TEST_F(DiscardedOutputTest, WrittenOutputIsDeletedAndTheInputKept) {
    const std::string output = folder.File("out.mp4");
    ASSERT_TRUE(job.OpenOutputFile(output)) << job.LastErrorText;
    // What a run that broke off would have left: bytes, not an empty file.
    std::ofstream(output, std::ios::binary) << "a header and a few packets";
    ASSERT_GT(fs::file_size(output), 0u);
    job.DiscardOutputFiles();
    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(fs::exists(input));
}

TEST_F(DiscardedOutputTest, AFileThatWasThereIsEmptiedNotRemoved) {
    const std::string output = folder.File("yours.mp4");
    std::ofstream(output) << "the user's own file";
    ASSERT_TRUE(job.OpenOutputFile(output)) << job.LastErrorText;
    std::ofstream(output, std::ios::binary) << "a header and a few packets";
    job.DiscardOutputFiles();
    ASSERT_EQ(TypeOf(output), S_IFREG);
    EXPECT_EQ(fs::file_size(output), 0u);
}

TEST_F(DiscardedOutputTest, AFailedRunRemovesOnlyAFileItCreated) {
    struct Case {
        const char* name;
        // Makes what the output path names before the job opens it; returns the path.
        std::function<std::string()> make;
        mode_t typeAfter; // 0: removed
    };
    std::unique_ptr<FifoReader> fifoReader;
    const std::string theirs = folder.File("theirs.mp4");
    const Case cases[] = {
        {"a device", [&] { return FullDevice(folder); }, S_IFCHR},
        {"a fifo",
         [&] {
             fifoReader = std::make_unique<FifoReader>(folder.File("fifo.mp4"));
             return folder.File("fifo.mp4");
         },
         S_IFIFO},
        {"a file that was there",
         [&] {
             std::ofstream(theirs) << "theirs";
             return theirs;
         },
         S_IFREG},
        {"a link to a file",
         [&] {
             std::ofstream(theirs) << "theirs";
             fs::create_symlink(theirs, folder.File("link.mp4"));
             return folder.File("link.mp4");
         },
         S_IFLNK},
        {"a new file", [&] { return folder.File("new.mp4"); }, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const std::string output = k.make();
        TCustomFFmpeg run;
        run.Prepare();
        ASSERT_TRUE(run.OpenInputFile(input)) << run.LastErrorText;
        // The second pass of a two-pass encoding without the first pass's log fails at setup.
        // The format is named: a device's name tells none.
        run.ApplyOptionText("f=mp4\npass=2\npasslogfile=" + folder.File("no-first-pass"));
        ASSERT_TRUE(run.OpenOutputFile(output)) << run.LastErrorText;
        run.Run(false, tarnwick::platform::tpNormal);
        fifoReader.reset();
        EXPECT_TRUE(run.ExceptionRaised);
        EXPECT_EQ(TypeOf(output), k.typeAfter);
    }
    EXPECT_EQ(TypeOf(theirs), S_IFREG);
}
