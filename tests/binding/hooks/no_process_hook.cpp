// Test module without "Process".
#include "binding/frame_hook_api.h"

extern "C" int Configure(void**, int, char*[]) { return 0; }
