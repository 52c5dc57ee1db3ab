#pragma once
// Loads the six media libraries from one folder at run time and resolves the function table.
// Called on one thread before any job runs; once loaded they stay loaded.

#include "binding/media_functions.h"

#include <string>

namespace tarnwick::binding {

// Loads libavcodec, libavfilter, libavformat, libavutil, libswscale and libswresample from the
// folder, in that order, stopping at the first failure (which unloads everything again).
// With useVersionedNames the file names carry the major versions ("libavcodec.so.59"),
// otherwise they are the plain "libavcodec.so". A second call after success returns true at
// once, whatever the folder.
bool LoadMediaLibraries(const std::string& folder, bool useVersionedNames);
void UnloadMediaLibraries();
bool MediaLibrariesLoaded();
// The failure text of the last failed complete load.
std::string LastLoadError();

// One library: loads it (if not yet) and resolves its entries (if not yet). On failure
// errorText receives the library's last error.
bool LoadMediaLibrary(MediaLibrary library, const std::string& folder, bool useVersionedName,
                      std::string& errorText);
void UnloadMediaLibrary(MediaLibrary library);
bool MediaLibraryLoaded(MediaLibrary library);
// The file name the loader uses for the library.
std::string MediaLibraryFileName(MediaLibrary library, bool useVersionedName);

bool AVCodecLoaded();
bool AVFilterLoaded();
bool AVFormatLoaded();
bool AVUtilLoaded();
bool SwScaleLoaded();
bool SwResampleLoaded();

// Loads a shared library by its full path inside the folder, or through the system search when
// the folder is empty. The libraries it needs are taken from the same folder where they are
// there, from the system's search elsewhere. Returns the handle, or nullptr with the system's
// text in errorText. The working directory is never changed.
void* LoadLibraryFromFolder(const std::string& folder, const std::string& fileName,
                            std::string& errorText);

} // namespace tarnwick::binding
