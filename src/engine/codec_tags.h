#pragma once
// Codec tags (four characters) against what an output container can store.

#include "binding/media_headers.h"

#include <cstdint>
#include <string>

namespace tarnwick::engine {

// Whether the muxer accepts `tag` for `codec` when it writes its header (with the format
// context's `strictness`). The older library generation's muxers ignored a tag they could not
// store; this one refuses the header, so callers drop such a tag (codec_tag 0 lets the muxer
// choose its own). Containers without tag tables accept any tag.
bool OutputCanStoreTag(const AVOutputFormat* format, AVCodecID codec, uint32_t tag,
                       int strictness);

// The tag as four characters, "[n]" for each byte that is not printable.
std::string TagText(uint32_t tag);

} // namespace tarnwick::engine
