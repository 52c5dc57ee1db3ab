// The desktop program's own speed: how long it takes from starting the program to the first
// painted main window (the median of several starts, each a child process of its own), and
// how long "&Add" takes for 20 clips chosen at once. Runs on the display it finds, or on the
// offscreen platform without one.
//
// usage: ui_bench [starts]

#include "app/core/power_off.h"
#include "app/ui/application.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_desktop.h"
#include "fixtures/fixture_writer.h"

#include <QTimer>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// Stops the child's event loop once the main window has been painted, printing the time
// since the parent started the child.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(int64_t startedNs) : startedNs_(startedNs) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // After this paint has been done.
            QTimer::singleShot(0, [this] {
                std::printf("%.1f\n", double(NowNs() - startedNs_) / 1e6);
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return false;
    }

private:
    int64_t startedNs_;
    bool seen_ = false;
};

int StartChild(int argc, char** argv, int64_t startedNs) {
    tarnwick::ui::TarnwickApplication application(argc, argv);
    tarnwick::ui::QtDesktop desktop;
    FirstPaint firstPaint(startedNs);
    // The program's own start, watched from the moment its main window exists.
    const auto windows = tarnwick::ui::StartWindows(desktop.Services());
    windows->Main->installEventFilter(&firstPaint);
    return QApplication::exec();
}

double TimeOneStart(const std::string& self) {
    const std::string started = std::to_string(NowNs());
    char* childArgs[] = {const_cast<char*>(self.c_str()), const_cast<char*>("--start-child"),
                         const_cast<char*>(started.c_str()), nullptr};
    int pipe[2];
    if (::pipe(pipe) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, self.c_str(), &actions, nullptr, childArgs, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) return -1;
    std::string output;
    char buffer[64];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, n);
    ::close(pipe[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return output.empty() ? -1 : std::atof(output.c_str());
}

// "&Add"'s open dialog answered with the clips, and no power-off.
class ChosenClips : public tarnwick::ui::FileChooser {
public:
    QStringList Clips;
    QStringList ChooseSourceFiles(QWidget*) override { return Clips; }
    QString ChooseFolder(QWidget*) override { return {}; }
};
class NoPowerOff : public tarnwick::app::TPowerOff {
public:
    void RequestPowerOff(std::function<void(const std::string&)> refused) override {
        refused("not in a benchmark");
    }
};

double TimeAdding(int argc, char** argv, const fs::path& folder, int count) {
    tarnwick::ui::TarnwickApplication application(argc, argv);
    ChosenClips chooser;
    for (int i = 0; i < count; ++i) {
        const std::string clip = (folder / ("clip" + std::to_string(i) + ".mp4")).string();
        tarnwick::fixtures::WriteClip(clip, tarnwick::fixtures::SimpleClip(50, true));
        chooser.Clips << QString::fromStdString(clip);
    }
    tarnwick::ui::QtMessageBox messages;
    tarnwick::ui::QtUrlOpener urls;
    tarnwick::ui::QtMainThreadScheduler scheduler;
    NoPowerOff powerOff;
    tarnwick::ui::Desktop desktop{messages, chooser, urls, scheduler, powerOff};
    tarnwick::ui::TfrmMain window(desktop);
    window.show();
    QApplication::processEvents();
    const auto start = Clock::now();
    window.btnAddClick();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (window.Rows().rowCount() != count)
        std::fprintf(stderr, "only %d of %d rows were added\n", window.Rows().rowCount(), count);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--start-child")
        return StartChild(argc, argv, std::atoll(argv[2]));
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A home of its own: the benchmark touches no one's settings.
    char pattern[] = "/tmp/tarnwick-ui-bench-XXXXXX";
    const fs::path folder = mkdtemp(pattern);
    setenv("HOME", (folder / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    fs::create_directories(folder / "home");

    const std::string self = fs::canonical("/proc/self/exe").string();
    std::vector<double> times;
    for (int i = 0; i < starts; ++i)
        times.push_back(TimeOneStart(self));
    std::sort(times.begin(), times.end());
    std::printf("start to the first painted main window (%s), %d starts: median %.1f ms, "
                "fastest %.1f ms, slowest %.1f ms\n",
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "display", starts,
                times[times.size() / 2], times.front(), times.back());

    const int count = 20;
    const double adding = TimeAdding(argc, argv, folder, count);
    std::printf("\"&Add\" of %d clips (2 s, 160x120, with sound): %.1f ms, %.1f ms a clip\n", count,
                adding, adding / count);
    fs::remove_all(folder);
    return 0;
}
