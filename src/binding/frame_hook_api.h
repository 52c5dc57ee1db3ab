#ifndef TARNWICK_FRAME_HOOK_API_H
#define TARNWICK_FRAME_HOOK_API_H
/* The interface between the program and a frame-hook module: a shared library exporting
 * "Configure" (optional), "Process" and "Release" (optional) with C linkage.
 * A module may change the picture's pixels in place, never its size or format. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Four plane pointers and four line sizes, as the libraries lay out a picture. */
typedef struct FrameHookPicture {
    uint8_t *data[4];
    int linesize[4];
} FrameHookPicture;

/* Called once per addition with the module file name as argv[0]; stores the module's context
 * in *context. Returns 0 on success. */
typedef int (*FrameHookConfigureFunc)(void **context, int argc, char *argv[]);
/* Called for every hooked picture; pixelFormat is an AVPixelFormat value, pts in microseconds. */
typedef void (*FrameHookProcessFunc)(void *context, FrameHookPicture *picture, int pixelFormat,
                                     int width, int height, int64_t pts);
/* Called once per configured instance when its job releases its resources. */
typedef void (*FrameHookReleaseFunc)(void *context);

#ifdef __cplusplus
}
#endif

#endif
