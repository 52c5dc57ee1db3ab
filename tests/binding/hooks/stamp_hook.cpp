// Test module: every picture's first byte becomes byte * 10 + the configured digit, so the
// result shows the order in which instances ran. Counts its Configure and Release calls.
#include "binding/frame_hook_api.h"

#include <cstdlib>

namespace {
int configureCount = 0;
int releaseCount = 0;
}

extern "C" {
int ConfigureCount() { return configureCount; }
int ReleaseCount() { return releaseCount; }

int Configure(void** context, int argc, char* argv[]) {
    ++configureCount;
    *context = reinterpret_cast<void*>(static_cast<intptr_t>(argc > 1 ? std::atoi(argv[1]) : 0));
    return 0;
}

void Process(void* context, FrameHookPicture* picture, int, int, int, int64_t) {
    picture->data[0][0] = static_cast<uint8_t>(picture->data[0][0] * 10 +
                                               static_cast<int>(reinterpret_cast<intptr_t>(context)));
}

void Release(void*) { ++releaseCount; }
}
