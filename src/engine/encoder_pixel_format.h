#pragma once
// The pixel format a video encoder is opened with. Sources come in every format (10-bit HDR
// from phones, 4:2:2 from cameras, 4:4:4 screen recordings, RGB pictures), while an encoder
// takes a few and the profile a preset asks for fewer still (H.264 Baseline and Main hold
// 8-bit 4:2:0 only). The scaler converts the pictures to the chosen format, dithering where
// bits are dropped.

#include "binding/media_headers.h"

#include <string>

namespace tarnwick::engine {

// The source's own format when the encoder and the profile can hold it; else, of the formats
// they can hold, the one that loses least of the source. `profileName` is the profile asked
// by name (the encoder's own option; empty for none), `profileNumber` by number
// (FF_PROFILE_UNKNOWN for none); `strictness` is the context's standard compliance. Returns
// `source` for an encoder that lists no formats; with a source of AV_PIX_FMT_NONE the
// encoder's first fitting format.
AVPixelFormat ChooseEncoderPixelFormat(const AVCodec& encoder, AVPixelFormat source,
                                       const std::string& profileName, int profileNumber,
                                       int strictness);

} // namespace tarnwick::engine
