#include "binding/media_libraries.h"

#include "binding/log_levels.h"
#include "binding/needed_libraries.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <set>
#include <vector>

namespace tarnwick::binding {

MediaFunctionTable AV;

namespace {

struct LibraryDescriptor {
    LibraryDescriptor(const char* name, int major) : baseName(name), majorVersion(major) {}
    const char* baseName;
    int majorVersion;
    bool useVersionedName = true;
    void* handle = nullptr;
    bool resolved = false;
    std::string lastError;
};

std::array<LibraryDescriptor, MediaLibraryCount> libraries = {{
    {"libavcodec", LIBAVCODEC_VERSION_MAJOR},
    {"libavfilter", LIBAVFILTER_VERSION_MAJOR},
    {"libavformat", LIBAVFORMAT_VERSION_MAJOR},
    {"libavutil", LIBAVUTIL_VERSION_MAJOR},
    {"libswscale", LIBSWSCALE_VERSION_MAJOR},
    {"libswresample", LIBSWRESAMPLE_VERSION_MAJOR},
}};

bool mediaLibrariesLoaded = false;
std::string lastLoadError;

struct Entry {
    MediaLibrary library;
    const char* name;
    void** slot;
};

const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = {
#define MEDIA_FUNCTION(library, name)                                                              \
    {MediaLibrary::library, #name, reinterpret_cast<void**>(&AV.name)},
#include "binding/media_functions.def"
#undef MEDIA_FUNCTION
    };
    return entries;
}

LibraryDescriptor& Descriptor(MediaLibrary library) {
    return libraries[static_cast<size_t>(library)];
}

std::string DlErrorText() {
    const char* text = dlerror();
    return text ? text : "unknown error";
}

std::string Format3(const char* pattern, const std::string& a, const std::string& b,
                    const std::string& c = {}) {
    std::vector<char> buffer(a.size() + b.size() + c.size() + 64);
    std::snprintf(buffer.data(), buffer.size(), pattern, a.c_str(), b.c_str(), c.c_str());
    return buffer.data();
}

} // namespace

std::string MediaLibraryFileName(MediaLibrary library, bool useVersionedName) {
    const LibraryDescriptor& d = Descriptor(library);
    char name[64];
    if (useVersionedName) std::snprintf(name, sizeof name, "%s.so.%d", d.baseName, d.majorVersion);
    else std::snprintf(name, sizeof name, "%s.so", d.baseName);
    return name;
}

namespace {

// RTLD_NODELETE: an unload releases the handle but keeps the code mapped. The libraries start
// helper state of their own (and other libraries they pull in do too) that would be left
// pointing into unmapped memory.
constexpr int OpenFlags = RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE;

std::string InFolder(const std::string& folder, const std::string& fileName) {
    return folder + (folder.back() == '/' ? "" : "/") + fileName;
}

// Loads the copies in the folder of the libraries the file needs, theirs first. The dynamic
// linker binds a needed name to a library already loaded under that name, so the file then
// uses the folder's copies, not the system's: a build dropped into the folder runs whole, with
// one copy of each library (and one log callback). The handles go to `loaded`.
void LoadFolderDependencies(const std::string& folder, const std::string& path,
                            std::set<std::string>& seen, std::vector<void*>& loaded) {
    for (const std::string& name : NeededLibraries(path)) {
        if (name.find('/') != std::string::npos || !seen.insert(name).second) continue;
        const std::string dependency = InFolder(folder, name);
        if (access(dependency.c_str(), F_OK) != 0) continue;
        LoadFolderDependencies(folder, dependency, seen, loaded);
        // A copy that does not load is left to the library's own loading to report.
        if (void* handle = dlopen(dependency.c_str(), OpenFlags)) loaded.push_back(handle);
    }
}

} // namespace

void* LoadLibraryFromFolder(const std::string& folder, const std::string& fileName,
                            std::string& errorText) {
    const std::string path = folder.empty() ? fileName : InFolder(folder, fileName);
    std::set<std::string> seen;
    std::vector<void*> dependencies;
    if (!folder.empty()) LoadFolderDependencies(folder, path, seen, dependencies);
    dlerror();
    void* handle = dlopen(path.c_str(), OpenFlags);
    if (!handle) errorText = DlErrorText();
    // The library holds its own references to what it needs.
    for (void* dependency : dependencies)
        dlclose(dependency);
    return handle;
}

bool LoadMediaLibrary(MediaLibrary library, const std::string& folder, bool useVersionedName,
                      std::string& errorText) {
    LibraryDescriptor& d = Descriptor(library);
    d.useVersionedName = useVersionedName;
    const std::string fileName = MediaLibraryFileName(library, useVersionedName);
    if (!d.handle) {
        std::string systemText;
        d.handle = LoadLibraryFromFolder(folder, fileName, systemText);
        if (!d.handle) {
            d.lastError = Format3("Load libraray %s error: %s", fileName, systemText);
            errorText = d.lastError;
            return false;
        }
    }
    if (!d.resolved) {
        for (const Entry& entry : Entries()) {
            if (entry.library != library) continue;
            dlerror();
            void* address = dlsym(d.handle, entry.name);
            if (!address) {
                d.lastError =
                    Format3("Load function %s@%s error: %s", entry.name, fileName, DlErrorText());
                errorText = d.lastError;
                return false;
            }
            *entry.slot = address;
        }
        d.resolved = true;
    }
    return true;
}

void UnloadMediaLibrary(MediaLibrary library) {
    LibraryDescriptor& d = Descriptor(library);
    if (d.handle) {
        dlclose(d.handle);
        d.handle = nullptr;
        d.resolved = false;
    }
}

bool MediaLibraryLoaded(MediaLibrary library) { return Descriptor(library).resolved; }

bool LoadMediaLibraries(const std::string& folder, bool useVersionedNames) {
    if (mediaLibrariesLoaded) return true;
    lastLoadError.clear();
    bool ok = true;
    for (int i = 0; i < MediaLibraryCount && ok; ++i) {
        std::string errorText;
        ok = LoadMediaLibrary(static_cast<MediaLibrary>(i), folder, useVersionedNames, errorText);
        if (!ok) lastLoadError = errorText;
    }
    mediaLibrariesLoaded = ok;
    if (ok) {
        SetDefaultLogLevel(AV.av_log_get_level());
    } else {
        UnloadMediaLibraries();
    }
    return ok;
}

void UnloadMediaLibraries() {
    mediaLibrariesLoaded = false;
    for (int i = 0; i < MediaLibraryCount; ++i) UnloadMediaLibrary(static_cast<MediaLibrary>(i));
}

bool MediaLibrariesLoaded() { return mediaLibrariesLoaded; }
std::string LastLoadError() { return lastLoadError; }

bool AVCodecLoaded() { return MediaLibraryLoaded(MediaLibrary::AVCodec); }
bool AVFilterLoaded() { return MediaLibraryLoaded(MediaLibrary::AVFilter); }
bool AVFormatLoaded() { return MediaLibraryLoaded(MediaLibrary::AVFormat); }
bool AVUtilLoaded() { return MediaLibraryLoaded(MediaLibrary::AVUtil); }
bool SwScaleLoaded() { return MediaLibraryLoaded(MediaLibrary::SwScale); }
bool SwResampleLoaded() { return MediaLibraryLoaded(MediaLibrary::SwResample); }

} // namespace tarnwick::binding
