#include "component/log_routing.h"

#include "binding/log_levels.h"
#include "binding/media_headers.h"
#include "component/av_converter.h"
#include "component/ffmpeg_job.h"
#include "component/log_list.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

namespace tarnwick::component {
namespace {

// Process-wide state lives until the process ends: library threads may still log while
// static objects are being destroyed.
struct ComponentRegistry {
    // Re-entrant: an OnLog handler may log through the libraries or destroy a component.
    std::recursive_mutex lock;
    std::vector<TCustomAVConverter*> components;
};

ComponentRegistry& Registry() {
    static auto* registry = new ComponentRegistry;
    return *registry;
}

struct PendingLines {
    std::mutex lock;
    TLogList lines;
};

PendingLines& LogLines() {
    static auto* pending = new PendingLines;
    return *pending;
}

// "[name @ ADDRESS]" of a library object (a struct whose first field points to its class).
size_t WriteObjectPrefix(void* object, char* text, size_t size) {
    const AVClass* avClass = *static_cast<const AVClass* const*>(object);
    if (!avClass) return 0;
    const char* name = avClass->item_name ? avClass->item_name(object) : avClass->class_name;
    const int written =
        std::snprintf(text, size, "[%s @ %0*" PRIXPTR "]", name ? name : "",
                      static_cast<int>(sizeof(void*) * 2), reinterpret_cast<uintptr_t>(object));
    return written > 0 ? std::min(static_cast<size_t>(written), size - 1) : 0;
}

} // namespace

void RegisterComponent(TCustomAVConverter& component) {
    ComponentRegistry& registry = Registry();
    std::lock_guard lock(registry.lock);
    registry.components.push_back(&component);
}

void UnregisterComponent(TCustomAVConverter& component) {
    ComponentRegistry& registry = Registry();
    std::lock_guard lock(registry.lock);
    std::erase(registry.components, &component);
}

void ClearLogLines() {
    PendingLines& pending = LogLines();
    std::lock_guard lock(pending.lock);
    pending.lines.Clear();
}

void LogCallback(void* object, int level, const char* format, va_list args) {
    if (binding::DefaultLogLevel() < level) return;
    ComponentRegistry& registry = Registry();
    PendingLines& pending = LogLines();
    std::lock_guard componentsLock(registry.lock);
    const std::thread::id threadId = std::this_thread::get_id();

    char text[LogBufferSize] = {};
    size_t length = 0;
    {
        std::lock_guard linesLock(pending.lock);
        const std::string& start = pending.lines.FindOrAdd(threadId).Pending;
        if (!start.empty()) {
            length = std::min(start.size(), sizeof text - 1);
            std::memcpy(text, start.data(), length);
        } else if (object) {
            length = WriteObjectPrefix(object, text, sizeof text);
        }
    }
    if (format && length < sizeof text - 1) {
        va_list copy;
        va_copy(copy, args);
        std::vsnprintf(text + length, sizeof text - length, format, copy);
        va_end(copy);
        length = strnlen(text, sizeof text - 1);
    }

    const int engineLevel = binding::LibraryToEngineLogLevel(level);
    const auto raise = [&](std::string_view line) {
        const std::string lineText(line);
        // By index: a handler may remove a component from the list meanwhile.
        for (size_t i = 0; i < registry.components.size(); ++i)
            DoLogForThread(*registry.components[i], threadId, engineLevel, lineText);
    };
    std::string_view rest(text, length);
    for (size_t feed = rest.find('\n'); feed != std::string_view::npos; feed = rest.find('\n')) {
        raise(rest.substr(0, feed));
        rest.remove_prefix(feed + 1);
    }
    // A start of a line that fills the whole buffer can never receive its line feed: it
    // would hold back every later line of the thread, so it goes out as a line of its own.
    if (rest.size() == sizeof text - 1) {
        raise(rest);
        rest = {};
    }

    std::lock_guard linesLock(pending.lock);
    pending.lines.FindOrAdd(threadId).Pending.assign(rest);
}

} // namespace tarnwick::component

namespace tarnwick::component {

void DoLogForThread(TCustomAVConverter& component, std::thread::id threadId, int level,
                    const std::string& line) {
    // The lookup and the event under one hold of EventLock: the job cannot leave the list
    // in between.
    std::lock_guard lock(component.EventLock);
    component.DoLog(component.Jobs.FindByRunnerThread(threadId), level, line);
}

} // namespace tarnwick::component
