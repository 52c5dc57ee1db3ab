#include "cli/cli_session.h"

#include "app/core/app_paths.h"
#include "app/core/picture_fit.h"
#include "app/core/presets.h"
#include "app/core/run_plan.h"
#include "app/core/settings_keys.h"
#include "app/core/snapshot.h"
#include "cli/console_reporter.h"
#include "cli/output_check.h"
#include "cli/session_settings.h"
#include "cli/time_argument.h"
#include "component/av_converter.h"
#include "platform/executable_folder.h"
#include "probe/av_probe.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace tarnwick::cli {
namespace {

namespace fs = std::filesystem;
using component::TKivAVConverter;
using component::TLogLevel;

// Boxes the core would show go to stderr: the command line has nobody to click OK.
class StderrMessageBox : public app::TMessageBox {
public:
    void ShowMessage(const std::string& caption, const std::string& text,
                     app::TMessageIcon) override {
        std::fprintf(stderr, "tarnwick-cli: %s: %s\n", caption.c_str(), text.c_str());
    }
};

// An output without what it should hold would pass for a finished one under its name: it goes.
std::string RemoveFailedOutput(const std::string& output) {
    std::error_code error;
    if (fs::remove(output, error)) return "; the output was removed";
    return error ? "; the output could not be removed: " + error.message() : "";
}

std::string LibraryFolder() { return platform::ExecutableFolder() + "LibAV"; }

// The log level a user asked for: errors only by default, more with every -v.
TLogLevel ChosenLogLevel(const CliRequest& request) {
    if (request.quiet) return component::llError;
    switch (request.verbose) {
    case 0: return component::llError;
    case 1: return component::llInfo;
    case 2: return component::llDebug;
    default: return component::llAll;
    }
}

const char* LevelName(TLogLevel level) {
    switch (level) {
    case component::llQuiet: return "quiet";
    case component::llError: return "error";
    case component::llInfo: return "info";
    case component::llDebug: return "debug";
    default: return "all";
    }
}

ReportStyle StyleFor(const CliRequest& request) {
    if (request.json) return ReportStyle::Json;
    return isatty(fileno(stdout)) ? ReportStyle::LiveTerminal : ReportStyle::PlainLines;
}

// The preset named by its index or by (a case-insensitive start of) its name.
std::optional<int> ResolvePreset(const std::string& text, const platform::IniStore& settings) {
    if (text.empty()) return app::ReadOutputFormat(settings);
    if (text.find_first_not_of("0123456789") == std::string::npos && text.size() < 4) {
        const int index = std::stoi(text);
        if (index < app::PresetCount) return index;
        return std::nullopt;
    }
    auto lower = [](std::string_view s) {
        std::string out(s);
        for (auto& c : out)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    const std::string wanted = lower(text);
    std::optional<int> found;
    for (int i = 0; i < app::PresetCount; ++i) {
        const std::string name = lower(app::PresetNames()[i]);
        if (name == wanted) return i;
        if (name.rfind(wanted, 0) == 0) {
            if (found) return std::nullopt; // ambiguous
            found = i;
        }
    }
    return found;
}

int ListPresets(const platform::IniStore& settings) {
    const int current = app::ReadOutputFormat(settings);
    for (int i = 0; i < app::PresetCount; ++i)
        std::printf("%2d%s %s\n", i, i == current ? "*" : " ",
                    std::string(app::PresetNames()[i]).c_str());
    return ExitOk;
}

// The library log lines at the chosen level go to the reporter.
void RouteLog(TKivAVConverter& converter, ConsoleReporter& reporter, TLogLevel chosen) {
    converter.OnLog = [&reporter, chosen](int32_t index, TLogLevel level, const std::string& text) {
        if (level != component::llQuiet && level <= chosen)
            reporter.Log(index, LevelName(level), text);
    };
}

bool LoadLibraries(TKivAVConverter& converter, ConsoleReporter& reporter) {
    if (converter.LoadLibraries(LibraryFolder(), true)) return true;
    reporter.Error(LibraryFolder(), converter.LastError);
    return false;
}

std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

int DescribeFiles(const CliRequest& request, ConsoleReporter& reporter) {
    TKivAVConverter converter;
    RouteLog(converter, reporter, ChosenLogLevel(request));
    if (!LoadLibraries(converter, reporter)) return ExitFailure;
    int status = ExitOk;
    for (const std::string& file : request.files) {
        probe::TAVProbe probe;
        if (!probe.Open(file, "")) {
            reporter.Error(file, probe.LastError());
            status = ExitFailure;
            continue;
        }
        std::printf("%s\n", WithoutCarriageReturns(probe.InfoText()).c_str());
    }
    return status;
}

// The picture scaled to fit the box, as the preview box shows it.
void PreviewPicture(const platform::Bitmap24& full, int boxWidth, int boxHeight,
                    platform::Bitmap24& small) {
    const auto rect = app::DrawFitted({0, 0, boxWidth, boxHeight}, full.Width(), full.Height());
    if (!rect || rect->Width() <= 0 || rect->Height() <= 0) return;
    small.SetSize(rect->Width(), rect->Height());
    for (int y = 0; y < small.Height(); ++y) {
        const uint8_t* from = full.ScanLine(y * full.Height() / small.Height());
        uint8_t* to = small.ScanLine(y);
        for (int x = 0; x < small.Width(); ++x) {
            const uint8_t* pixel = from + 3 * (x * full.Width() / small.Width());
            to[3 * x] = pixel[0];
            to[3 * x + 1] = pixel[1];
            to[3 * x + 2] = pixel[2];
        }
    }
}

int SnapshotFiles(const CliRequest& request, SessionSettings& settings, ConsoleReporter& reporter) {
    TKivAVConverter converter;
    RouteLog(converter, reporter, ChosenLogLevel(request));
    if (!LoadLibraries(converter, reporter)) return ExitFailure;
    StderrMessageBox messages;
    const std::string baseFolder = app::ReadSnapshotFolder(settings.Store());
    int status = ExitOk;
    for (const std::string& file : request.files) {
        try {
            probe::TAVProbe probe;
            if (!probe.Open(file, "")) throw std::runtime_error(probe.LastError());
            if (probe.VideoStreamCount() <= 0) throw std::runtime_error("no picture to take");
            probe.Seek(-1, static_cast<int64_t>(request.snapshotSeconds * 1e6));
            const platform::Bitmap24& full = probe.DecodeFrame(-1);
            if (full.Width() == 0) throw std::runtime_error("no picture could be decoded");
            // Every file's snapshots carry the same four names: several files get a folder each.
            if (request.files.size() > 1)
                app::WriteSnapshotFolder(settings.Store(),
                                         (fs::path(baseFolder) / fs::path(file).stem()).string());
            platform::Bitmap24 small;
            PreviewPicture(full, 320, 240, small);
            for (const std::string& written :
                 app::SaveSnapshots(settings.Store(), full, small, messages))
                if (!request.quiet) std::printf("%s\n", written.c_str());
        } catch (const std::exception& error) {
            reporter.Error(file, error.what());
            status = ExitFailure;
        }
    }
    return status;
}

struct QueuedJob {
    std::string source;
    std::string output;
    OutputExpectation expected;
    bool started = false;
};

int ConvertFiles(const CliRequest& request, SessionSettings& settings,
                 const platform::IniStore& presets, int presetIndex, const TrimRequest& trim,
                 ConsoleReporter& reporter, const std::atomic<bool>& interrupted) {
    platform::RunLoopScheduler loop;
    TKivAVConverter converter(&loop);
    const TLogLevel chosen = ChosenLogLevel(request);
    RouteLog(converter, reporter, chosen);
    if (!LoadLibraries(converter, reporter)) return ExitFailure;

    int status = ExitOk;
    std::vector<app::TTaskRow> rows;
    for (const std::string& file : request.files) {
        // A file that cannot be opened fails alone; the others are still converted.
        probe::TAVProbe probe;
        if (!probe.Open(file, "")) {
            reporter.Error(file, probe.LastError());
            status = ExitFailure;
            continue;
        }
        app::TTaskRow row;
        row.Record.BatchIndex = static_cast<int32_t>(rows.size());
        row.Record.SourceFile = fs::absolute(file).lexically_normal().string();
        row.Record.TrimStart = trim.startMs;
        row.Record.TrimLength = trim.lengthMs;
        if (request.crop) {
            row.Record.CropTop = (*request.crop)[0];
            row.Record.CropBottom = (*request.crop)[1];
            row.Record.CropLeft = (*request.crop)[2];
            row.Record.CropRight = (*request.crop)[3];
        }
        if (!request.fit.empty()) row.Record.ZoomMode = request.fit;
        rows.push_back(row);
    }
    if (rows.empty()) return status;

    StderrMessageBox messages;
    // Why a job's output could not be set: the job still runs and fails, with a text that
    // only says that it has no output.
    std::map<int32_t, std::string> refusedOutputs;
    const app::TRunSetup setup{
        settings.Store(),
        presets,
        messages,
        [&](const std::string& line) {
            if (chosen >= component::llInfo) reporter.Log(-1, "info", WithoutCarriageReturns(line));
        },
        {},
        [&](int32_t job, const std::string& reason) { refusedOutputs[job] = reason; }};
    std::vector<int32_t> runRows;
    try {
        probe::TAVProbe sourceProbe;
        runRows = app::QueueRun(converter, sourceProbe, rows, presetIndex, setup);
    } catch (const std::exception& error) {
        // The rows before the failing one were queued.
        const size_t failed = std::min<size_t>(converter.JobCount(), rows.size() - 1);
        reporter.Error(rows[failed].Record.SourceFile, error.what());
        converter.ClearJobs();
        return ExitFailure;
    }

    std::vector<QueuedJob> jobs(runRows.size());
    for (size_t i = 0; i < runRows.size(); ++i) {
        component::TOutputOptions output;
        converter.GetJobOutputOptions(static_cast<int>(i), output);
        const app::TlvFilesRecord& record = rows[runRows[i]].Record;
        jobs[i].source = record.SourceFile;
        jobs[i].output = output.FileName;
        jobs[i].expected = ExpectationFor(record.SourceFile, !output.VideoCodec.empty(),
                                          record.TrimStart, record.TrimLength);
    }

    // The component starts job k when job k - parallel has ended (the first ones at once), so
    // the end times tell when each job began.
    std::mutex startedMutex;
    const auto runStart = std::chrono::steady_clock::now();
    std::vector<std::chrono::steady_clock::time_point> endTimes;
    auto reportStart = [&](int index) {
        std::lock_guard lock(startedMutex);
        if (jobs[index].started) return;
        jobs[index].started = true;
        const size_t before = static_cast<size_t>(index) >= static_cast<size_t>(request.jobs)
                                  ? index - request.jobs
                                  : endTimes.size();
        const auto startedAt = before < endTimes.size() ? endTimes[before] : runStart;
        reporter.JobStarted(index, index + 1, static_cast<int>(jobs.size()), jobs[index].source,
                            jobs[index].output, startedAt);
    };
    converter.OnProgress = [&](int32_t index, int32_t, int32_t, int32_t currentMs, float, float,
                               int64_t size, int32_t totalMs) {
        if (index < 0 || index >= static_cast<int>(jobs.size())) return;
        reportStart(index);
        reporter.JobProgress(index, currentMs, totalMs, size);
    };
    bool runOver = false;
    bool stopRequested = false;
    size_t ended = 0;
    // The end of a job is looked at on this thread: the check reads the output with the
    // libraries, which the component's event handlers must not call.
    converter.OnTerminate = [&](int32_t index, bool finished, bool exception,
                                const std::string& message) {
        if (index >= 0) {
            std::lock_guard lock(startedMutex);
            endTimes.push_back(std::chrono::steady_clock::now());
        }
        loop.Post([&, index, finished, exception, message] {
            if (index < 0) {
                runOver = true;
                return;
            }
            reportStart(index);
            const QueuedJob& job = jobs[index];
            std::string failure;
            if (const auto refused = refusedOutputs.find(index);
                exception && refused != refusedOutputs.end())
                failure = "the output could not be set up: " + refused->second;
            else if (exception)
                failure = message.empty() ? "conversion failed" : message;
            else if (!finished)
                failure = "stopped before the end";
            else if (const OutputCheck check = CheckOutput(job.output, job.expected);
                     !check.failure.empty())
                failure = check.failure + (check.onlyTheLength ? "; the output was kept"
                                                               : RemoveFailedOutput(job.output));
            reporter.JobEnded(index, failure.empty(), job.source, job.output, failure);
            if (!failure.empty()) status = ExitFailure;
            ++ended;
        });
    };

    converter.StartJobs(request.jobs);
    loop.RunUntil(
        [&] {
            if (interrupted && !stopRequested) {
                stopRequested = true;
                converter.StopJobs();
            }
            reporter.Refresh();
            return runOver && ended == jobs.size();
        },
        std::chrono::hours(24 * 365));
    converter.ClearJobs();
    return stopRequested ? ExitInterrupted : status;
}

} // namespace

int RunRequest(const CliRequest& request, const std::atomic<bool>& interrupted) {
    ConsoleReporter reporter(StyleFor(request), request.quiet, stdout, stderr);
    try {
        SessionSettings settings(request.outputFolder);
        if (request.mode == CliMode::ListPresets) return ListPresets(settings.Store());
        if (request.mode == CliMode::Info) return DescribeFiles(request, reporter);
        if (request.mode == CliMode::Snapshot) return SnapshotFiles(request, settings, reporter);

        const auto preset = ResolvePreset(request.preset, settings.Store());
        if (!preset) {
            std::fprintf(stderr, "tarnwick-cli: no preset '%s' (see --list-presets)\n",
                         request.preset.c_str());
            return ExitUsage;
        }
        TrimRequest trim;
        std::string trimError;
        if (!ParseTrim(request.startText, request.lengthText, trim, trimError)) {
            std::fprintf(stderr, "tarnwick-cli: %s\n", trimError.c_str());
            return ExitUsage;
        }
        const platform::IniStore presets(app::PresetsFilePath());
        return ConvertFiles(request, settings, presets, *preset, trim, reporter, interrupted);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarnwick-cli: %s\n", error.what());
        return ExitFailure;
    }
}

} // namespace tarnwick::cli
