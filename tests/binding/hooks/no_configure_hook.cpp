// Test module with "Process" alone.
#include "binding/frame_hook_api.h"

extern "C" void Process(void*, FrameHookPicture* picture, int, int, int, int64_t) {
    picture->data[0][0] = 99;
}
