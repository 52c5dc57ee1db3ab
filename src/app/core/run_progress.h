#pragma once
// What the run shows while its jobs convert, and what it does when one ends: the texts of the
// progress window and the row's "Progress" cell, and the end-of-job decisions. Pure functions
// of the events' values, so both front ends show the same.

#include <cstdint>
#include <string>

namespace tarnwick::app {

// current x 100 div total, kept within 0..100; 0 while the total is not known (0 or less).
int ProgressPercent(int32_t currentMs, int32_t totalMs);

// The name as it is when it has at most 50 characters; else its first 44 characters, "..",
// and its extension with the dot.
std::string ShortenOutputName(const std::string& fileName);

struct TProgressTexts {
    int Percent = 0;     // the bar
    std::string Cell;    // the row's "Progress" cell: "49%"
    std::string Time;    // "1 Second": output time reached, whole seconds
    std::string Length;  // "3 Second": the job's total output time
    std::string Size;    // "12 kb": output size in thousands of bytes
    std::string Counter; // "[2/3]": the job's place in the run
    std::string Output;  // the output file name, shortened
};
TProgressTexts ProgressTexts(int jobIndex, int jobCount, int32_t currentMs, int32_t totalMs,
                             int64_t currentSize, const std::string& outputFileName);

// What to do when a job reports its end (jobIndex >= 0) or the run is over (jobIndex < 0).
struct TTerminateActions {
    bool RunOver = false;      // enable the list commands, clear the jobs, close the window
    bool MarkFinished = false; // the row's cell reads "100%" and the bar 100
    bool OpenFolder = false;   // the job was the run's last and finished, and "open" is ticked
    bool ShutDown = false;     // likewise with "shut down" ticked; after opening the folder
    bool ShowWarning = false;  // the job failed: show its message as a warning
    // The user stopped the job: its output, complete in form but not in content, would pass
    // for a finished conversion, so it goes.
    bool RemoveOutput = false;
};
TTerminateActions TerminateActions(int jobIndex, bool finished, bool exception, int runLength,
                                   bool openFolderTicked, bool shutDownTicked);

} // namespace tarnwick::app
