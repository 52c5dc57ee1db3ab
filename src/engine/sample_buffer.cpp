#include "engine/sample_buffer.h"

#include "binding/media_functions.h"

#include <algorithm>
#include <climits>

namespace tarnwick::engine {

using binding::AV;

bool EnsureSampleBuffer(TSampleBuffer &buffer, AVSampleFormat format, int channels, int samples,
                        int minimumBytes) {
    const int bytesPerSample = AV.av_get_bytes_per_sample(format);
    if (bytesPerSample <= 0 || channels <= 0 || samples < 0) return false;
    const int64_t frameBytes = int64_t{bytesPerSample} * channels;
    const int64_t needed = std::max<int64_t>({frameBytes * std::max(samples, 1), minimumBytes});
    if (needed > INT_MAX) return false;
    if (buffer.Bytes < needed) {
        AV.av_freep(&buffer.Memory);
        buffer.Bytes = 0;
        buffer.Memory = static_cast<uint8_t *>(AV.av_malloc(needed));
        if (!buffer.Memory) return false;
        buffer.Bytes = static_cast<int>(needed);
    }
    // Unaligned planes (align 1) so that the capacity is exactly what the memory holds.
    buffer.Capacity = static_cast<int>(buffer.Bytes / frameBytes);
    buffer.Planes.assign(AV.av_sample_fmt_is_planar(format) ? channels : 1, nullptr);
    return AV.av_samples_fill_arrays(buffer.Planes.data(), nullptr, buffer.Memory, channels,
                                     buffer.Capacity, format, 1) >= 0;
}

void FreeSampleBuffer(TSampleBuffer &buffer) {
    AV.av_freep(&buffer.Memory);
    buffer = TSampleBuffer{};
}

} // namespace tarnwick::engine
