// Stands in for libswscale in a loader test: it has the library's entry points except
// sws_scale, so resolving must stop there.
extern "C" {
unsigned swscale_version() { return 0; }
void* sws_alloc_context() { return nullptr; }
int sws_init_context(void*, void*, void*) { return -1; }
void* sws_getContext() { return nullptr; }
void* sws_getCachedContext() { return nullptr; }
void sws_freeContext(void*) {}
const void* sws_get_class() { return nullptr; }
int sws_isSupportedInput(int) { return 0; }
int sws_isSupportedOutput(int) { return 0; }
}
