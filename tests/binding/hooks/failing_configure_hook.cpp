// Test module whose "Configure" always fails.
#include "binding/frame_hook_api.h"

extern "C" {
int Configure(void**, int, char*[]) { return -1; }
void Process(void*, FrameHookPicture*, int, int, int, int64_t) {}
}
