#include "engine/custom_ffmpeg.h"

#include "platform/ffmpeg_exception.h"

namespace tarnwick::engine {

// The transcode is not built yet: no job can open an input and an output, so Run never gets
// here with both.
void TCustomFFmpeg::Transcode(AVFormatContext**, int, AVFormatContext**, int, TStreamMap*, int) {
    throw platform::FFMpegException("Transcoding is not available in this build");
}

void TCustomFFmpeg::CloseRegisteredEncoders() {}
void TCustomFFmpeg::CloseRegisteredDecoders() {}

} // namespace tarnwick::engine
