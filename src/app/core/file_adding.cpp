#include "app/core/file_adding.h"

#include "app/core/output_name.h"
#include "app/core/presets.h"
#include "platform/executable_folder.h"
#include "probe/av_probe.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tarnwick::app {
namespace {

// The probe's duration in whole seconds; an unknown (negative) duration counts as 0.
int32_t DurationSeconds(int64_t durationUs) {
    if (durationUs <= 0) return 0;
    return static_cast<int32_t>(
        std::min<int64_t>(durationUs / 1000000, std::numeric_limits<int32_t>::max()));
}

// The probe's text ends its lines with "\r\n"; the log takes one line at a time.
void LogText(const std::string& text, const std::function<void(const std::string&)>& log) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        log(line);
        start = end + 1;
    }
}

} // namespace

bool LoadLibrariesForAdding(component::TKivAVConverter& converter,
                            const std::function<void(const std::string&)>& log) {
    if (converter.LoadLibraries(platform::ExecutableFolder() + "LibAV", true)) return true;
    log(converter.LastError);
    return false;
}

bool IsAddableFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

void AddFiles(component::TKivAVConverter& converter, const std::vector<std::string>& paths,
              int presetIndex, const platform::IniStore& settings,
              const platform::IniStore& presets, TMessageBox& messages, const TAddSink& sink) {
    converter.ClearJobs();
    const std::string suffix = AddTimeSuffix(ReadPresetFileExt(presets, presetIndex));
    for (size_t k = 0; k < paths.size(); ++k) {
        const std::string& path = paths[k];
        if (!IsAddableFile(path) || sink.IsListed(path)) continue;
        const std::string destination = BuildOutputFileName(path, suffix, settings, messages);
        component::TInputOptions input;
        component::ClearInputOptions(input);
        input.FileName = path;
        const int job = converter.AddJob(path, &input);
        if (job < 0) {
            sink.Log("");
            sink.Log("***File open error: " + converter.LastError);
            sink.Log("");
            continue;
        }
        probe::TAVProbe& probe = converter.JobProbe(job);
        probe::TAVFormatInfo format;
        probe.GetFormatInfo(format);
        TlvFilesRecord record;
        record.BatchIndex = static_cast<int32_t>(k);
        record.SourceFile = path;
        record.DestFile = destination;
        record.DurationSec = DurationSeconds(format.Duration);
        sink.Log("");
        LogText(probe.InfoText(), sink.Log);
        sink.Log(std::to_string(record.DurationSec));
        sink.Log(std::to_string(probe.FileSize()));
        converter.RemoveJob(job);
        converter.ClearJobs();
        sink.Added(record);
    }
}

} // namespace tarnwick::app
