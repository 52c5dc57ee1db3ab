#include "binding/frame_hooks.h"

#include "binding/media_functions.h"

#include <dlfcn.h>

#include <string>
#include <utility>
#include <vector>

namespace tarnwick::binding {
namespace {

// Process-wide: a module found here by its exact name is not loaded again. Modules are never
// unloaded, since instances of other jobs may still point into them.
std::vector<std::pair<std::string, void*>>& LoadedHookModules() {
    static std::vector<std::pair<std::string, void*>> modules;
    return modules;
}

void LogError(const char* format, const char* argument) {
    AV.av_log(nullptr, AV_LOG_ERROR, format, argument);
}

} // namespace

int LoadedHookModuleCount() { return static_cast<int>(LoadedHookModules().size()); }

int AddFrameHook(FrameHookList& list, int argc, char* argv[]) {
    if (argc <= 0 || argv == nullptr || argv[0] == nullptr) return -2;
    const std::string moduleName = argv[0];

    void* handle = nullptr;
    for (const auto& [name, loaded] : LoadedHookModules()) {
        if (name == moduleName) {
            handle = loaded;
            break;
        }
    }
    if (!handle) {
        // A name without a folder goes through the system's library search, as dlopen does.
        dlerror();
        handle = dlopen(moduleName.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* text = dlerror();
            LogError("%s\n", text ? text : "unknown error");
            return -1;
        }
        LoadedHookModules().emplace_back(moduleName, handle);
    }

    auto* hook = static_cast<FrameHookInstance*>(AV.av_mallocz(sizeof(FrameHookInstance)));
    if (!hook) return -12;
    hook->configure = reinterpret_cast<FrameHookConfigureFunc>(dlsym(handle, "Configure"));
    hook->process = reinterpret_cast<FrameHookProcessFunc>(dlsym(handle, "Process"));
    hook->release = reinterpret_cast<FrameHookReleaseFunc>(dlsym(handle, "Release"));

    int result = 0;
    if (!hook->process) {
        LogError("Failed to find Process entrypoint in %s\n", argv[0]);
        result = -2;
    } else if (!hook->configure && argc > 1) {
        LogError("Failed to find Configure entrypoint in %s\n", argv[0]);
        result = -2;
    } else if (hook->configure && hook->configure(&hook->context, argc, argv) != 0) {
        LogError("Failed to Configure %s\n", argv[0]);
        result = -22;
    }
    if (result != 0) {
        AV.av_free(hook);
        return result;
    }

    FrameHookInstance** tail = &list.first;
    while (*tail) tail = &(*tail)->next;
    *tail = hook;
    return 0;
}

void RunFrameHooks(const FrameHookList& list, FrameHookPicture& picture, int pixelFormat,
                   int width, int height, int64_t pts) {
    for (FrameHookInstance* hook = list.first; hook; hook = hook->next)
        hook->process(hook->context, &picture, pixelFormat, width, height, pts);
}

void ReleaseFrameHooks(FrameHookList& list) {
    FrameHookInstance* hook = list.first;
    list.first = nullptr;
    while (hook) {
        FrameHookInstance* next = hook->next;
        if (hook->release) hook->release(hook->context);
        AV.av_free(hook);
        hook = next;
    }
}

} // namespace tarnwick::binding
