#include "engine/encoder_pixel_format.h"

#include "binding/media_functions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstring>
#include <vector>

namespace tarnwick::engine {

using binding::AV;

namespace {

enum class TChroma { Only420, UpTo422, Any };

// What pictures a profile holds; the default holds everything.
struct TProfileLimits {
    int MaxDepth = INT_MAX;
    TChroma Chroma = TChroma::Any;
    bool Grey = true; // luma only (4:0:0)
};

constexpr TProfileLimits Plain8Bit{8, TChroma::Only420, false};

// The profiles by the encoders' names for them ("" when they have none) and by number.
struct TNamedLimits {
    const char* Name;
    int Number;
    TProfileLimits Limits;
};

constexpr TNamedLimits H264Profiles[] = {
    {"baseline", FF_PROFILE_H264_BASELINE, Plain8Bit},
    {"", FF_PROFILE_H264_CONSTRAINED_BASELINE, Plain8Bit},
    {"main", FF_PROFILE_H264_MAIN, Plain8Bit},
    {"extended", FF_PROFILE_H264_EXTENDED, Plain8Bit},
    {"high", FF_PROFILE_H264_HIGH, {8, TChroma::Only420, true}},
    {"high10", FF_PROFILE_H264_HIGH_10, {10, TChroma::Only420, true}},
    {"", FF_PROFILE_H264_HIGH_10_INTRA, {10, TChroma::Only420, true}},
    {"high422", FF_PROFILE_H264_HIGH_422, {10, TChroma::UpTo422, true}},
    {"", FF_PROFILE_H264_HIGH_422_INTRA, {10, TChroma::UpTo422, true}},
};

constexpr TNamedLimits HevcProfiles[] = {
    {"main", FF_PROFILE_HEVC_MAIN, Plain8Bit},
    {"mainstillpicture", FF_PROFILE_HEVC_MAIN_STILL_PICTURE, Plain8Bit},
    {"main10", FF_PROFILE_HEVC_MAIN_10, {10, TChroma::Only420, false}},
};

std::string Lower(std::string text) {
    for (char& ch : text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// A name wins over a number: the encoder's own option overrides the generic one.
TProfileLimits LimitsOf(AVCodecID codec, const std::string& name, int number) {
    const TNamedLimits* begin = nullptr;
    const TNamedLimits* end = nullptr;
    if (codec == AV_CODEC_ID_H264) {
        begin = std::begin(H264Profiles);
        end = std::end(H264Profiles);
    } else if (codec == AV_CODEC_ID_HEVC) {
        begin = std::begin(HevcProfiles);
        end = std::end(HevcProfiles);
    }
    const std::string lowerName = Lower(name);
    for (const TNamedLimits* p = begin; p != end; ++p)
        if (lowerName.empty() ? p->Number == number : lowerName == p->Name) return p->Limits;
    return {};
}

// What the choice between formats looks at.
struct TFormatTraits {
    int Depth = 8;
    int ChromaShiftX = 0, ChromaShiftY = 0;
    bool Colour = true; // not luma alone
    bool Rgb = false;   // RGB or a palette, not YUV
    bool Alpha = false;
    bool FullRange = false; // the full-range YUV formats
};

TFormatTraits TraitsOf(const AVPixFmtDescriptor& descriptor) {
    TFormatTraits traits;
    traits.Depth = descriptor.comp[0].depth;
    traits.ChromaShiftX = descriptor.log2_chroma_w;
    traits.ChromaShiftY = descriptor.log2_chroma_h;
    traits.Rgb = (descriptor.flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) != 0;
    traits.Colour = traits.Rgb || descriptor.nb_components >= 3;
    traits.Alpha = (descriptor.flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
    traits.FullRange = std::strncmp(descriptor.name, "yuvj", 4) == 0;
    return traits;
}

bool Holds(const TProfileLimits& limits, AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = AV.av_pix_fmt_desc_get(format);
    if (!descriptor) return false;
    const TFormatTraits traits = TraitsOf(*descriptor);
    if (traits.Depth > limits.MaxDepth) return false;
    if (!traits.Colour) return limits.Grey;
    if (limits.Chroma == TChroma::Any) return true;
    if (traits.Rgb || traits.ChromaShiftX != 1) return false;
    return traits.ChromaShiftY == 1 || limits.Chroma == TChroma::UpTo422;
}

// JPEG stores full-range YUV; its encoders take the limited-range formats only as a
// non-standard extension, and a limited-range picture written as full range looks washed out.
bool IsJpegFamily(AVCodecID codec) {
    return codec == AV_CODEC_ID_MJPEG || codec == AV_CODEC_ID_LJPEG;
}

bool IsLimitedRangeYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = AV.av_pix_fmt_desc_get(format);
    if (!descriptor) return false;
    const TFormatTraits traits = TraitsOf(*descriptor);
    return traits.Colour && !traits.Rgb && !traits.FullRange;
}

AVPixelFormat FullRangeTwin(AVPixelFormat format) {
    switch (format) {
    case AV_PIX_FMT_YUV420P: return AV_PIX_FMT_YUVJ420P;
    case AV_PIX_FMT_YUV422P: return AV_PIX_FMT_YUVJ422P;
    case AV_PIX_FMT_YUV444P: return AV_PIX_FMT_YUVJ444P;
    case AV_PIX_FMT_YUV440P: return AV_PIX_FMT_YUVJ440P;
    case AV_PIX_FMT_YUV411P: return AV_PIX_FMT_YUVJ411P;
    default: return format;
    }
}

// What converting `source` to `target` costs, worst first: colour lost, bits lost, chroma
// resolution lost, alpha lost, a change between RGB and YUV, a change of YUV range, and room
// wasted on bits and chroma the source does not have. Lower is better.
std::array<int, 7> ConversionCost(const TFormatTraits& source, const TFormatTraits& target) {
    return {source.Colour && !target.Colour,
            std::max(0, source.Depth - target.Depth),
            std::max(0, target.ChromaShiftX - source.ChromaShiftX) +
                std::max(0, target.ChromaShiftY - source.ChromaShiftY),
            source.Alpha && !target.Alpha,
            source.Rgb != target.Rgb,
            !source.Rgb && !target.Rgb && source.FullRange != target.FullRange,
            std::max(0, target.Depth - source.Depth) +
                std::max(0, source.ChromaShiftX - target.ChromaShiftX) +
                std::max(0, source.ChromaShiftY - target.ChromaShiftY)};
}

} // namespace

AVPixelFormat ChooseEncoderPixelFormat(const AVCodec& encoder, AVPixelFormat source,
                                       const std::string& profileName, int profileNumber,
                                       int strictness) {
    if (!encoder.pix_fmts) return source;
    const TProfileLimits limits = LimitsOf(encoder.id, profileName, profileNumber);
    const bool fullRangeOnly = IsJpegFamily(encoder.id) && strictness > FF_COMPLIANCE_UNOFFICIAL;
    std::vector<AVPixelFormat> candidates;
    for (const AVPixelFormat* f = encoder.pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
        if (Holds(limits, *f) && !(fullRangeOnly && IsLimitedRangeYuv(*f)))
            candidates.push_back(*f);
    // Nothing fits (an encoder that cannot make the profile at all): the encoder's own list,
    // and the encoder says what is wrong when it opens.
    if (candidates.empty())
        for (const AVPixelFormat* f = encoder.pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
            candidates.push_back(*f);
    if (fullRangeOnly) source = FullRangeTwin(source);
    const AVPixFmtDescriptor* sourceDescriptor = AV.av_pix_fmt_desc_get(source);
    if (!sourceDescriptor) return candidates.front();
    // The cheapest conversion; of equally cheap ones the encoder's own order decides, and the
    // source's own format costs nothing.
    const TFormatTraits sourceTraits = TraitsOf(*sourceDescriptor);
    AVPixelFormat best = AV_PIX_FMT_NONE;
    std::array<int, 7> bestCost{};
    for (const AVPixelFormat candidate : candidates) {
        if (candidate == source) return source;
        const AVPixFmtDescriptor* descriptor = AV.av_pix_fmt_desc_get(candidate);
        if (!descriptor) continue;
        const std::array<int, 7> cost = ConversionCost(sourceTraits, TraitsOf(*descriptor));
        if (best == AV_PIX_FMT_NONE || cost < bestCost) {
            best = candidate;
            bestCost = cost;
        }
    }
    return best != AV_PIX_FMT_NONE ? best : candidates.front();
}

} // namespace tarnwick::engine
