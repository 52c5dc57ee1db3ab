#include "app/core/run_progress.h"

#include <algorithm>
#include <filesystem>

namespace tarnwick::app {

int ProgressPercent(int32_t currentMs, int32_t totalMs) {
    if (totalMs <= 0) return 0;
    return static_cast<int>(std::clamp<int64_t>(int64_t{currentMs} * 100 / totalMs, 0, 100));
}

std::string ShortenOutputName(const std::string& fileName) {
    if (fileName.size() <= 50) return fileName;
    return fileName.substr(0, 44) + ".." + std::filesystem::path(fileName).extension().string();
}

TProgressTexts ProgressTexts(int jobIndex, int jobCount, int32_t currentMs, int32_t totalMs,
                             int64_t currentSize, const std::string& outputFileName) {
    TProgressTexts texts;
    texts.Percent = ProgressPercent(currentMs, totalMs);
    texts.Cell = std::to_string(texts.Percent) + "%";
    texts.Time = std::to_string(currentMs / 1000) + " Second";
    texts.Length = std::to_string(totalMs / 1000) + " Second";
    texts.Size = std::to_string(currentSize / 1000) + " kb";
    texts.Counter.assign(1, '[')
        .append(std::to_string(jobIndex + 1))
        .append("/")
        .append(std::to_string(jobCount))
        .append("]");
    texts.Output = ShortenOutputName(outputFileName);
    return texts;
}

TTerminateActions TerminateActions(int jobIndex, bool finished, bool exception, int runLength,
                                   bool openFolderTicked, bool shutDownTicked) {
    TTerminateActions actions;
    if (jobIndex < 0) {
        actions.RunOver = true;
        return actions;
    }
    actions.MarkFinished = finished;
    const bool lastOfRun = finished && jobIndex + 1 == runLength;
    actions.OpenFolder = lastOfRun && openFolderTicked;
    actions.ShutDown = lastOfRun && shutDownTicked;
    actions.ShowWarning = exception;
    actions.RemoveOutput = !finished && !exception;
    return actions;
}

} // namespace tarnwick::app
