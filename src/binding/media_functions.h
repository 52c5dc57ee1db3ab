#pragma once
// The process-wide table of media-library entry points, filled by the loader. Each slot has
// the exact type of the library's declaration. Read-only once loading has finished; a slot
// must not be called while its library is not loaded.

#include "binding/media_headers.h"

namespace tarnwick::binding {

enum class MediaLibrary { AVCodec, AVFilter, AVFormat, AVUtil, SwScale, SwResample };
inline constexpr int MediaLibraryCount = 6;

struct MediaFunctionTable {
#define MEDIA_FUNCTION(library, name) decltype(&::name) name = nullptr;
#include "binding/media_functions.def"
#undef MEDIA_FUNCTION
};

extern MediaFunctionTable AV;

} // namespace tarnwick::binding
