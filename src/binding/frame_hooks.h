#pragma once
// Frame-hook modules: loaded once per process, configured once per addition, run on every
// hooked picture in list order and released with the job that added them.

#include "binding/frame_hook_api.h"

#include <cstdint>

namespace tarnwick::binding {

struct FrameHookInstance {
    FrameHookInstance* next;
    FrameHookConfigureFunc configure;
    FrameHookProcessFunc process;
    FrameHookReleaseFunc release;
    void* context;
};

// A job's list of configured hook instances, in the order they were added. Owned by the job.
struct FrameHookList {
    FrameHookInstance* first = nullptr;
    bool Empty() const { return first == nullptr; }
};

// argv[0] names the module file, the rest are its arguments (argc at most 64). Returns 0 when
// added; -1 the module did not load; -2 no arguments or a missing entry point; -12 no memory;
// -22 "Configure" failed. Failures are logged through the libraries' log at level 0.
// Must be called with the media libraries loaded, from one thread at a time.
int AddFrameHook(FrameHookList& list, int argc, char* argv[]);
void RunFrameHooks(const FrameHookList& list, FrameHookPicture& picture, int pixelFormat,
                   int width, int height, int64_t pts);
// Calls "Release" of every instance (when it exists) and frees them; the list ends empty.
void ReleaseFrameHooks(FrameHookList& list);

// Number of distinct module files loaded in this process.
int LoadedHookModuleCount();

} // namespace tarnwick::binding
