#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/codec_lock.h"

#include <algorithm>
#include <mutex>

namespace tarnwick::engine {

using binding::AV;

namespace {

void Unregister(std::list<AVCodecContext*>& registry, AVCodecContext* context) {
    auto entry = std::find(registry.begin(), registry.end(), context);
    if (entry != registry.end()) registry.erase(entry);
}

} // namespace

void TCustomFFmpeg::RegisterEncoder(AVCodecContext* encoder) { OpenEncoders.push_front(encoder); }
void TCustomFFmpeg::UnregisterEncoder(AVCodecContext* encoder) { Unregister(OpenEncoders, encoder); }
void TCustomFFmpeg::RegisterDecoder(AVCodecContext* decoder) { OpenDecoders.push_front(decoder); }
void TCustomFFmpeg::UnregisterDecoder(AVCodecContext* decoder) { Unregister(OpenDecoders, decoder); }

void TCustomFFmpeg::CloseRegisteredEncoders() {
    for (AVCodecContext* encoder : OpenEncoders) {
        AV.av_freep(&encoder->stats_in);
        std::lock_guard lock(platform::CodecLock());
        AV.avcodec_close(encoder);
    }
    OpenEncoders.clear();
}

void TCustomFFmpeg::CloseRegisteredDecoders() {
    for (AVCodecContext* decoder : OpenDecoders) {
        std::lock_guard lock(platform::CodecLock());
        AV.avcodec_close(decoder);
    }
    OpenDecoders.clear();
}

} // namespace tarnwick::engine
