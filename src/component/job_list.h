#pragma once
// The component's list of jobs. The job itself is only declared here, so that the component's
// header (which the windows include) carries no engine or media library header.

#include <memory>
#include <thread>
#include <vector>

namespace tarnwick::component {

class TFFmpeg;

// The component's jobs; a job's JobIndex is kept equal to its position. Not locked itself.
class TFFmpegList {
public:
    TFFmpegList();
    ~TFFmpegList();
    TFFmpegList(const TFFmpegList&) = delete;
    TFFmpegList& operator=(const TFFmpegList&) = delete;

    int Count() const { return static_cast<int>(jobs_.size()); }
    // Throws std::out_of_range with the list's index error for an index outside the list.
    TFFmpeg& operator[](int index) const;
    // Appends the job and returns its index.
    int Add(std::unique_ptr<TFFmpeg> job);
    // Takes the job out of the list (its JobIndex becomes -1) and renumbers the later ones.
    std::unique_ptr<TFFmpeg> Extract(int index);
    // Takes every job out of the list.
    std::vector<std::unique_ptr<TFFmpeg>> ExtractAll();
    // The first job in list order that runs (or ran) on the thread, or nullptr.
    TFFmpeg* FindByRunnerThread(std::thread::id threadId) const;

private:
    void CheckIndex(int index) const;
    std::vector<std::unique_ptr<TFFmpeg>> jobs_;
};

} // namespace tarnwick::component
