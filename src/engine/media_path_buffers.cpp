#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"

namespace tarnwick::engine {

using binding::AV;

void TCustomFFmpeg::ReleaseMediaPathBuffers() {
    AV.av_frame_free(&VideoEncodeFrame);
    FreeSampleBuffer(AudioBuf);
    FreeSampleBuffer(SilenceBuffer);
    AV.av_freep(&SubtitleEncodeBuffer);
}

} // namespace tarnwick::engine
