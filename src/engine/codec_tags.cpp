#include "engine/codec_tags.h"

#include "binding/media_functions.h"

#include <cctype>

namespace tarnwick::engine {

using binding::AV;

bool OutputCanStoreTag(const AVOutputFormat* format, AVCodecID codec, uint32_t tag,
                       int strictness) {
    if (!format || !format->codec_tag || tag == 0) return true;
    const AVCodecID tagged = AV.av_codec_get_id(format->codec_tag, tag);
    if (tagged == codec) return true;
    // The tag belongs to another codec in this container.
    if (tagged != AV_CODEC_ID_NONE) return false;
    // The container lists its own tags for this codec and insists on them.
    unsigned int ownTag = 0;
    if (AV.av_codec_get_tag2(format->codec_tag, codec, &ownTag) && strictness >= FF_COMPLIANCE_NORMAL)
        return false;
    return true;
}

std::string TagText(uint32_t tag) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const unsigned char ch = (tag >> (8 * i)) & 0xff;
        if (std::isprint(ch)) {
            text += static_cast<char>(ch);
        } else {
            text += '[';
            text += std::to_string(ch);
            text += ']';
        }
    }
    return text;
}

} // namespace tarnwick::engine
