#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"

namespace tarnwick::engine {

using binding::AV;

namespace {

// Encoder names of the older library generation that this one lacks, mapped to the encoder
// doing the same job here.
const AVCodec* EncoderAlias(const std::string& name) {
    if (name == "libfaac") return AV.avcodec_find_encoder_by_name("aac");
    if (name == "libamr_nb") return AV.avcodec_find_encoder(AV_CODEC_ID_AMR_NB);
    return nullptr;
}

} // namespace

bool TCustomFFmpeg::FindCodecId(const std::string& name, AVMediaType type, bool encoder,
                                AVCodecID& id, const AVCodec** codec) {
    id = AV_CODEC_ID_NONE;
    if (codec) *codec = nullptr;
    if (name.empty()) return true;
    const AVCodec* found = encoder ? AV.avcodec_find_encoder_by_name(name.c_str())
                                   : AV.avcodec_find_decoder_by_name(name.c_str());
    if (!found && encoder) found = EncoderAlias(name);
    const char* role = encoder ? "encoder" : "decoder";
    if (!found) {
        LastErrorText = "Unknown " + std::string(role) + " '" + name + "'";
        return false;
    }
    if (found->type != type) {
        LastErrorText = "Invalid " + std::string(role) + " type '" + name + "'";
        return false;
    }
    id = found->id;
    if (codec) *codec = found;
    return true;
}

} // namespace tarnwick::engine
