// Library options set by name: the generic codec, format and scaler contexts of the job, and
// the private options of the encoders and muxers, which are kept until one of them opens.

#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/convert.h"

#include <algorithm>
#include <cstdlib>

namespace tarnwick::engine {

using binding::AV;

namespace {

// Option names (and, where the meaning moved into a value, name and value) that this library
// generation renamed. An empty `value` matches any value and keeps it.
struct TOptionAlias {
    const char* name;
    const char* value;
    const char* newName;
    const char* newValue;
};

constexpr TOptionAlias OptionAliases[] = {
    {"gop", "", "g", ""},
    // The scan-offset codec flag became a private option of the MPEG-2 encoder.
    {"flags", "+scan_offset", "scan_offset", "1"},
};

void ResolveAlias(std::string& name, std::string& value) {
    for (const TOptionAlias& alias : OptionAliases) {
        if (name != alias.name) continue;
        if (*alias.value && value != alias.value) continue;
        name = alias.newName;
        if (*alias.newValue) value = alias.newValue;
        return;
    }
}

// The library's flag per media type: video, audio, data, subtitle, attachment. A flag of 0
// matches every option.
constexpr int MediaTypeOptionFlags[MediaTypeCount] = {AV_OPT_FLAG_VIDEO_PARAM,
                                                      AV_OPT_FLAG_AUDIO_PARAM, 0,
                                                      AV_OPT_FLAG_SUBTITLE_PARAM, 0};

// Options this generation flags for both video and audio, and for encoding only, are the
// quantities of one stream: bit rate, its limits, buffer size, quality, profile, level,
// trellis, compression level. The option texts were written for a generation that gave them to
// the video alone; the sound's own values take the "a" prefix ("ab", "amaxrate").
bool IsVideoStreamQuantity(const AVOption* option) {
    constexpr int both = AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_AUDIO_PARAM;
    return (option->flags & both) == both && (option->flags & AV_OPT_FLAG_ENCODING_PARAM) &&
           !(option->flags & AV_OPT_FLAG_DECODING_PARAM);
}

void Remember(std::vector<std::string>& names, const char* name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
}

bool IsNumber(const std::string& value) {
    char* end = nullptr;
    platform::CStrToD(value.c_str(), &end);
    return end != value.c_str() && *end == '\0';
}

// An integer option with named values (such as "profile") takes only a number or one of its
// names. Other words are meant for an encoder's private option of the same name; offering
// them here would only make the library log a parse error.
bool ValueFits(void* context, const AVOption* option, const std::string& value) {
    if (!option->unit || (option->type != AV_OPT_TYPE_INT && option->type != AV_OPT_TYPE_INT64))
        return true;
    return IsNumber(value) ||
           AV.av_opt_find(context, value.c_str(), option->unit, 0, 0) != nullptr;
}

// Sets the option on the context when the context has it and takes the value; returns the
// option's own name, or nullptr.
const char* SetOnContext(void* context, const std::string& name, const std::string& value) {
    if (!context) return nullptr;
    const AVOption* option = AV.av_opt_find(context, name.c_str(), nullptr, 0, 0);
    if (!option || !ValueFits(context, option, value)) return nullptr;
    return AV.av_opt_set(context, name.c_str(), value.c_str(), 0) >= 0 ? option->name : nullptr;
}

bool ClassHasOption(const AVClass* const* privateClass, const char* name) {
    return *privateClass &&
           AV.av_opt_find(const_cast<AVClass**>(privateClass), name, nullptr, 0,
                          AV_OPT_SEARCH_FAKE_OBJ) != nullptr;
}

} // namespace

bool TCustomFFmpeg::SetGenericOption(const std::string& name, const std::string& value) {
    if (platform::Trim(name).empty() || platform::Trim(value).empty()) return false;
    if (!CodecOptions[0]) return false;
    std::string optionName = name;
    std::string optionValue = value;
    ResolveAlias(optionName, optionValue);

    const char* accepted = nullptr;
    for (int type = 0; type < MediaTypeCount; ++type) {
        const int flags = MediaTypeOptionFlags[type];
        const AVOption* option =
            AV.av_opt_find(CodecOptions[0], optionName.c_str(), nullptr, flags, 0);
        if (!option || !ValueFits(CodecOptions[type], option, optionValue)) continue;
        if (type != AVMEDIA_TYPE_VIDEO && IsVideoStreamQuantity(option)) continue;
        if (AV.av_opt_set(CodecOptions[type], optionName.c_str(), optionValue.c_str(), 0) >= 0) {
            accepted = option->name;
            Remember(CodecOptionNames[type], option->name);
        }
    }
    if (!accepted) accepted = SetOnContext(FormatOptions, optionName, optionValue);
    if (!accepted) accepted = SetOnContext(ScalerOptions, optionName, optionValue);
    if (!accepted && optionName.size() > 1) {
        // "ab", "vb", "sxyz": the option without its first letter, for that media type.
        const std::string rest = optionName.substr(1);
        int type = -1;
        switch (optionName[0]) {
        case 'a': type = AVMEDIA_TYPE_AUDIO; break;
        case 'v': type = AVMEDIA_TYPE_VIDEO; break;
        case 's': type = AVMEDIA_TYPE_SUBTITLE; break;
        default: break;
        }
        if (type >= 0) {
            accepted = SetOnContext(CodecOptions[type], rest, optionValue);
            if (accepted) Remember(CodecOptionNames[type], accepted);
        }
    }

    bool keptPrivately = false;
    if (!accepted) {
        // Kept for every media type that has an encoder taking it, and for the muxer when a
        // muxer takes it; whichever of them opens gets it.
        void* iterator = nullptr;
        while (const AVCodec* codec = AV.av_codec_iterate(&iterator)) {
            if (codec->type < 0 || codec->type >= MediaTypeCount) continue;
            if (!AV.av_codec_is_encoder(codec) ||
                !ClassHasOption(&codec->priv_class, optionName.c_str()))
                continue;
            AV.av_dict_set(&EncoderPrivateOptions[codec->type], optionName.c_str(),
                           optionValue.c_str(), 0);
            keptPrivately = true;
        }
        iterator = nullptr;
        while (const AVOutputFormat* muxer = AV.av_muxer_iterate(&iterator)) {
            if (!ClassHasOption(&muxer->priv_class, optionName.c_str())) continue;
            AV.av_dict_set(&MuxerPrivateOptions, optionName.c_str(), optionValue.c_str(), 0);
            keptPrivately = true;
            break;
        }
    }
    if (!accepted && !keptPrivately) return false;

    if (accepted) OptionNames.emplace_back(accepted);
    const bool debugging =
        CodecOptions[AVMEDIA_TYPE_VIDEO]->debug != 0 || (FormatOptions && FormatOptions->debug != 0);
    if (debugging) SetVerbose(2);
    return true;
}

bool TCustomFFmpeg::SetGenericIntOption(const std::string& name, int32_t value) {
    return SetGenericOption(name, std::to_string(value));
}

void TCustomFFmpeg::ApplyContextOptions(void* target, void* source, int flags) {
    if (!target || !source) return;
    const std::vector<std::string>* names = &OptionNames;
    for (int type = 0; type < MediaTypeCount; ++type)
        if (source == CodecOptions[type]) names = &CodecOptionNames[type];
    for (const std::string& name : *names) {
        const AVOption* option = AV.av_opt_find(source, name.c_str(), nullptr, 0, 0);
        if (!option || (option->flags & flags) != flags) continue;
        uint8_t* text = nullptr;
        if (AV.av_opt_get(source, name.c_str(), 0, &text) < 0 || !text) continue;
        AV.av_opt_set(target, name.c_str(), reinterpret_cast<const char*>(text), 0);
        AV.av_free(text);
    }
}

void TCustomFFmpeg::SetBitRate(const std::string& name, const std::string& value) {
    if (!SetGenericOption(name, value) || !LogHandler) return;
    AVCodecContext* context =
        CodecOptions[name.starts_with("a") ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO];
    int64_t bitRate = 0;
    if (AV.av_opt_get_int(context, "b", 0, &bitRate) >= 0 && bitRate < 1000)
        Log(1, "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not "
               "kbits/s");
}

AVDictionary* TCustomFFmpeg::CopyEncoderPrivateOptions(int mediaType) const {
    AVDictionary* copy = nullptr;
    if (mediaType >= 0 && mediaType < MediaTypeCount)
        AV.av_dict_copy(&copy, EncoderPrivateOptions[mediaType], 0);
    return copy;
}

AVDictionary* TCustomFFmpeg::CopyMuxerPrivateOptions() const {
    AVDictionary* copy = nullptr;
    AV.av_dict_copy(&copy, MuxerPrivateOptions, 0);
    return copy;
}

void TCustomFFmpeg::ReportUnusedPrivateOptions(const AVDictionary* leftover,
                                               const std::string& consumer) {
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = AV.av_dict_get(leftover, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        if (!ReportedUnusedOptions.insert(entry->key).second) continue;
        LogFormat(1, "Option %s=%s is not used by %s", entry->key, entry->value, consumer.c_str());
    }
}

} // namespace tarnwick::engine
