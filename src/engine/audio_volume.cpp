#include "engine/audio_volume.h"

#include "binding/media_functions.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace tarnwick::engine {

using binding::AV;

namespace {

template <typename Sample, typename Wide>
void ScaleIntegers(uint8_t *plane, int count, int volume, Wide bias) {
    auto *samples = reinterpret_cast<Sample *>(plane);
    constexpr Wide low = std::numeric_limits<Sample>::min();
    constexpr Wide high = std::numeric_limits<Sample>::max();
    for (int i = 0; i < count; ++i) {
        const Wide centred = static_cast<Wide>(samples[i]) - bias;
        const Wide scaled = ((centred * volume + 128) >> 8) + bias;
        samples[i] = static_cast<Sample>(std::clamp(scaled, low, high));
    }
}

template <typename Sample> void ScaleFloats(uint8_t *plane, int count, int volume) {
    auto *samples = reinterpret_cast<Sample *>(plane);
    const Sample factor = static_cast<Sample>(volume) / 256;
    for (int i = 0; i < count; ++i)
        samples[i] *= factor;
}

} // namespace

void ScaleSamples(uint8_t *const *planes, int planeCount, int valuesPerPlane, AVSampleFormat format,
                  int volume) {
    const AVSampleFormat packed = AV.av_get_packed_sample_fmt(format);
    for (int p = 0; p < planeCount; ++p) {
        uint8_t *plane = planes[p];
        switch (packed) {
        case AV_SAMPLE_FMT_U8:
            ScaleIntegers<uint8_t, int64_t>(plane, valuesPerPlane, volume, 128);
            break;
        case AV_SAMPLE_FMT_S16:
            ScaleIntegers<int16_t, int64_t>(plane, valuesPerPlane, volume, 0);
            break;
        case AV_SAMPLE_FMT_S32:
            ScaleIntegers<int32_t, int64_t>(plane, valuesPerPlane, volume, 0);
            break;
        case AV_SAMPLE_FMT_S64:
            ScaleIntegers<int64_t, __int128>(plane, valuesPerPlane, volume, 0);
            break;
        case AV_SAMPLE_FMT_FLT:
            ScaleFloats<float>(plane, valuesPerPlane, volume);
            break;
        case AV_SAMPLE_FMT_DBL:
            ScaleFloats<double>(plane, valuesPerPlane, volume);
            break;
        default:
            return;
        }
    }
}

bool ApplyAudioVolume(AVFrame &frame, int volume) {
    if (AV.av_frame_make_writable(&frame) < 0) return false;
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int channels = frame.ch_layout.nb_channels;
    if (AV.av_sample_fmt_is_planar(format))
        ScaleSamples(frame.extended_data, channels, frame.nb_samples, format, volume);
    else
        ScaleSamples(frame.extended_data, 1, frame.nb_samples * channels, format, volume);
    return true;
}

} // namespace tarnwick::engine
