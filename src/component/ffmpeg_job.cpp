#include "component/ffmpeg_job.h"

#include <cstdio>
#include <stdexcept>

namespace tarnwick::component {

TFFmpeg::TFFmpeg() = default;

// The probe goes first: it refers to the input that the engine job releases.
TFFmpeg::~TFFmpeg() { JobProbe.reset(); }

TFFmpegList::TFFmpegList() = default;
TFFmpegList::~TFFmpegList() = default;

void TFFmpegList::CheckIndex(int index) const {
    if (index >= 0 && index < Count()) return;
    char text[64];
    std::snprintf(text, sizeof text, "List index out of bounds (%d)", index);
    throw std::out_of_range(text);
}

TFFmpeg& TFFmpegList::operator[](int index) const {
    CheckIndex(index);
    return *jobs_[index];
}

int TFFmpegList::Add(std::unique_ptr<TFFmpeg> job) {
    job->JobIndex = Count();
    jobs_.push_back(std::move(job));
    return Count() - 1;
}

std::unique_ptr<TFFmpeg> TFFmpegList::Extract(int index) {
    CheckIndex(index);
    std::unique_ptr<TFFmpeg> job = std::move(jobs_[index]);
    jobs_.erase(jobs_.begin() + index);
    for (int i = index; i < Count(); ++i)
        jobs_[i]->JobIndex = i;
    job->JobIndex = -1;
    return job;
}

std::vector<std::unique_ptr<TFFmpeg>> TFFmpegList::ExtractAll() {
    std::vector<std::unique_ptr<TFFmpeg>> all = std::move(jobs_);
    jobs_.clear();
    for (auto& job : all)
        job->JobIndex = -1;
    return all;
}

TFFmpeg* TFFmpegList::FindByRunnerThread(std::thread::id threadId) const {
    for (const auto& job : jobs_)
        if (job->RunnerThreadId.load() == threadId) return job.get();
    return nullptr;
}

} // namespace tarnwick::component
