// The audio path of a re-encoded stream: sync against the input clock, channel, rate and
// sample-format conversion, and encoder frames cut from a FIFO.
#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"
#include "engine/audio_sync.h"
#include "platform/ffmpeg_exception.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// The resampler and converter output buffer starts at this size.
constexpr int AudioBufBytes = 262144;
// The most channels the resampler takes.
constexpr int MaxChannels = 64;

// The FIFO takes plane lists as void**; it only reads the list itself.
void **FifoData(uint8_t *const *planes) {
    return reinterpret_cast<void **>(const_cast<uint8_t **>(planes));
}

// A converter is made for one pair of sample formats.
int FormatPair(AVSampleFormat encoder, AVSampleFormat decoder) {
    return encoder + AV_SAMPLE_FMT_NB * decoder;
}

// A swresample context from the decoded chunk's format to the encoder's, with the default
// layouts for the two channel counts. A mix-down uses the standard matrix (centre and surround
// at -3 dB), scaled so that no output channel's coefficients add up to more than one: left
// alone, the library scales it only for integer samples, and a full-scale 5.1 source mixed into
// float samples reached more than twice full scale, which the decoders then clip.
SwrContext *MakeConverter(int outChannels, AVSampleFormat outFormat, int outRate, int inChannels,
                          AVSampleFormat inFormat, int inRate) {
    AVChannelLayout outLayout{}, inLayout{};
    AV.av_channel_layout_default(&outLayout, outChannels);
    AV.av_channel_layout_default(&inLayout, inChannels);
    SwrContext *context = nullptr;
    if (AV.swr_alloc_set_opts2(&context, &outLayout, outFormat, outRate, &inLayout, inFormat,
                               inRate, 0, nullptr) < 0 ||
        AV.av_opt_set(context, "rematrix_maxval", "1.0", 0) < 0 || AV.swr_init(context) < 0)
        AV.swr_free(&context);
    AV.av_channel_layout_uninit(&outLayout);
    AV.av_channel_layout_uninit(&inLayout);
    return context;
}

} // namespace

int64_t TCustomFFmpeg::QueuedAudioSamples(const TOutputStreamRecord& ost) {
    int64_t queued = ost.AudioFifo ? AV.av_audio_fifo_size(ost.AudioFifo) : 0;
    if (ost.Resampler) queued += AV.swr_get_delay(ost.Resampler, ost.Encoder->sample_rate);
    return queued;
}

void TCustomFFmpeg::AudioOutput(AVFormatContext *file, TOutputStreamRecord &ost,
                                TInputStreamRecord &ist, AVFrame *samples) {
    AVCodecContext *enc = ost.Encoder;
    const auto decFormat = static_cast<AVSampleFormat>(samples->format);
    const int decChannels = samples->ch_layout.nb_channels;
    const int decRate = samples->sample_rate > 0 ? samples->sample_rate : ist.Decoder->sample_rate;
    const AVSampleFormat encFormat = enc->sample_fmt;
    const int encChannels = enc->ch_layout.nb_channels;
    const int encRate = enc->sample_rate;
    int chunk = samples->nb_samples;
    if (chunk <= 0 || decChannels <= 0 || decRate <= 0 || !ost.AudioFifo) return;

    if (!EnsureSampleBuffer(AudioBuf, encFormat, encChannels, 0, AudioBufBytes)) return;

    if (encChannels != decChannels || encRate != decRate) ost.AudioResample = true;
    if (ost.AudioResample &&
        (!ost.Resampler || ost.ResamplerInputFormat != decFormat ||
         ost.ResamplerInputRate != decRate || ost.ResamplerInputChannels != decChannels)) {
        AV.swr_free(&ost.Resampler);
        // The resampler delivers the encoder's sample format as well: no converter after it.
        ost.Resampler =
            MakeConverter(encChannels, encFormat, encRate, decChannels, decFormat, decRate);
        if (!ost.Resampler) {
            char text[256];
            std::snprintf(text, sizeof text,
                          "Can not resample %d channels @ %d Hz to %d channels @ %d Hz",
                          decChannels, decRate, encChannels, encRate);
            throw FFMpegException(text);
        }
        ost.ResamplerInputFormat = decFormat;
        ost.ResamplerInputRate = decRate;
        ost.ResamplerInputChannels = decChannels;
    }
    const bool convert = !ost.AudioResample && decFormat != encFormat;
    if (convert && FormatPair(encFormat, decFormat) != ost.ReformatPair) {
        AV.swr_free(&ost.ReformatContext);
        ost.ReformatContext =
            MakeConverter(encChannels, encFormat, decRate, decChannels, decFormat, decRate);
        if (!ost.ReformatContext) {
            char text[256];
            const char *from = AV.av_get_sample_fmt_name(decFormat);
            const char *to = AV.av_get_sample_fmt_name(encFormat);
            std::snprintf(text, sizeof text, "Cannot convert %s sample format to %s sample format",
                          from ? from : "none", to ? to : "none");
            throw FFMpegException(text);
        }
        ost.ReformatPair = FormatPair(encFormat, decFormat);
    }

    // The chunk as plane pointers, so that the window and the sync can cut it or put silence
    // before it.
    const bool decPlanar = AV.av_sample_fmt_is_planar(decFormat);
    const int decBytes = AV.av_get_bytes_per_sample(decFormat);
    if (decPlanar && decChannels > MaxChannels) return;
    uint8_t *const *input = samples->extended_data;
    uint8_t *cut[MaxChannels]{};
    const auto skipSamples = [&](int count) {
        const int planes = decPlanar ? decChannels : 1;
        const int step = decPlanar ? decBytes : decBytes * decChannels;
        for (int p = 0; p < planes; ++p)
            cut[p] = input[p] + static_cast<ptrdiff_t>(count) * step;
        input = cut;
        chunk -= count;
    };

    // The output window, to the sample: what lies before the start or past the recording time.
    const int64_t firstSample =
        std::llround(static_cast<double>(ist.Pts - StartTime) / 1000000.0 * decRate);
    int64_t endSample = firstSample + chunk;
    if (RecordingTime != std::numeric_limits<int64_t>::max())
        endSample = std::min<int64_t>(
            endSample, std::llround(static_cast<double>(RecordingTime) / 1000000.0 * decRate));
    const int64_t windowStart =
        BeforeOutputStart(ist) ? std::max<int64_t>(firstSample, 0) : firstSample;
    if (endSample <= windowStart) return;
    chunk = static_cast<int>(endSample - firstSample);
    skipSamples(static_cast<int>(windowStart - firstSample));
    const double cutSeconds = static_cast<double>(windowStart - firstSample) / decRate;
    const double syncTime =
        static_cast<double>((ost.SyncInput ? ost.SyncInput->Pts : ist.Pts) - StartTime) /
            1000000.0 +
        cutSeconds;

    if (AudioSyncMethod != 0) {
        AudioSyncInput in;
        in.syncTime = syncTime;
        in.encoderRate = encRate;
        in.decoderRate = decRate;
        in.syncOpts = ost.SyncOpts;
        in.queuedSamples = QueuedAudioSamples(ost);
        in.isStart = ist.IsStart;
        in.driftThreshold = AudioDriftThreshold;
        in.method = AudioSyncMethod;
        in.chunkSamples = chunk;
        in.decoderFrameBytes = decBytes * decChannels;
        const AudioSyncDecision decision = DecideAudioSync(in);
        switch (decision.action) {
        case AudioSyncDecision::Action::Discard: {
            skipSamples(static_cast<int>(decision.samples));
            if (Verbose > 2)
                LogFormat(1, "discarding %d audio samples",
                          static_cast<int>(static_cast<int64_t>(-decision.delta)));
            if (chunk == 0) return;
            if (decision.clearIsStart) ist.IsStart = false;
            break;
        }
        case AudioSyncDecision::Action::Insert: {
            const int silence = static_cast<int>(decision.samples);
            if (!EnsureSampleBuffer(SilenceBuffer, decFormat, decChannels, silence + chunk)) return;
            AV.av_samples_set_silence(SilenceBuffer.Planes.data(), 0, silence, decChannels,
                                      decFormat);
            AV.av_samples_copy(SilenceBuffer.Planes.data(), input, silence, 0, chunk, decChannels,
                               decFormat);
            input = SilenceBuffer.Planes.data();
            chunk += silence;
            if (decision.clearIsStart) ist.IsStart = false;
            if (Verbose > 2)
                LogFormat(1, "adding %d audio samples of silence",
                          static_cast<int>(static_cast<int64_t>(decision.delta)));
            break;
        }
        case AudioSyncDecision::Action::Compensate:
            if (Verbose > 2)
                LogFormat(1, "compensating audio timestamp drift:%f compensation:%d in:%d",
                          decision.delta, decision.compensation, encRate);
            if (ost.Resampler)
                AV.swr_set_compensation(ost.Resampler, decision.compensation, encRate);
            break;
        case AudioSyncDecision::Action::None:
            break;
        }
    } else {
        // Follow the input clock, but never back: the pts of encoder frames must increase.
        ost.SyncOpts = std::max<int64_t>(ost.SyncOpts,
                                         std::llrint(syncTime * encRate) - QueuedAudioSamples(ost));
    }

    // Resample (with format conversion), or convert only, into AudioBuf.
    uint8_t *const *out = input;
    int outSamples = chunk;
    SwrContext *converter = ost.AudioResample ? ost.Resampler
                            : convert         ? ost.ReformatContext
                                              : nullptr;
    if (converter) {
        const int room = AV.swr_get_out_samples(converter, chunk);
        if (room < 0 ||
            !EnsureSampleBuffer(AudioBuf, encFormat, encChannels, room, AudioBufBytes)) {
            if (!convert) return;
            throw FFMpegException("av_malloc failed");
        }
        outSamples = AV.swr_convert(converter, AudioBuf.Planes.data(), AudioBuf.Capacity,
                                    const_cast<const uint8_t **>(input), chunk);
        if (outSamples < 0) {
            if (ExitOnError) throw FFMpegException("av_audio_convert() failed");
            Log(0, "av_audio_convert() failed");
            return;
        }
        out = AudioBuf.Planes.data();
    }

    if (outSamples > 0 &&
        AV.av_audio_fifo_write(ost.AudioFifo, FifoData(out), outSamples) < outSamples)
        throw FFMpegException("av_fifo_realloc2() failed");

    // Frame-based encoders take exact frames; sample-based ones (PCM) each chunk whole.
    const int frameSamples = enc->frame_size > 1 ? enc->frame_size : 0;
    while (true) {
        const int waiting = AV.av_audio_fifo_size(ost.AudioFifo);
        const int take = frameSamples ? frameSamples : waiting;
        if (take <= 0 || waiting < take) break;
        AVFrame *frame = AudioEncoderFrame(ost, take);
        if (AV.av_audio_fifo_read(ost.AudioFifo, FifoData(frame->extended_data), take) < take)
            break;
        frame->pts = AV.av_rescale_q(ost.SyncOpts, AVRational{1, encRate}, enc->time_base);
        if (EncodeFrame(file, ost, frame) < 0) throw FFMpegException("Audio encoding failed");
        ost.SyncOpts += take;
    }
}

void TCustomFFmpeg::DrainAudioOutput(AVFormatContext *file, TOutputStreamRecord &ost) {
    AVCodecContext *enc = ost.Encoder;
    if (!ost.AudioFifo) return;
    const int encRate = enc->sample_rate;
    const int encChannels = enc->ch_layout.nb_channels;

    // What the resampler still holds back belongs to the end of the stream.
    if (ost.Resampler) {
        const int room = AV.swr_get_out_samples(ost.Resampler, 0);
        if (room > 0 &&
            EnsureSampleBuffer(AudioBuf, enc->sample_fmt, encChannels, room, AudioBufBytes)) {
            const int flushed = AV.swr_convert(ost.Resampler, AudioBuf.Planes.data(),
                                               AudioBuf.Capacity, nullptr, 0);
            if (flushed > 0 &&
                AV.av_audio_fifo_write(ost.AudioFifo, FifoData(AudioBuf.Planes.data()), flushed) <
                    flushed)
                throw FFMpegException("av_fifo_realloc2() failed");
        }
    }

    const int frameSamples = enc->frame_size > 1 ? enc->frame_size : 0;
    while (const int waiting = AV.av_audio_fifo_size(ost.AudioFifo)) {
        const bool shortFrameAllowed =
            !frameSamples ||
            (enc->codec && (enc->codec->capabilities &
                            (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE)));
        const int take = frameSamples ? std::min(waiting, frameSamples) : waiting;
        const int frameLength = shortFrameAllowed ? take : frameSamples;
        AVFrame *frame = AudioEncoderFrame(ost, frameLength);
        if (AV.av_audio_fifo_read(ost.AudioFifo, FifoData(frame->extended_data), take) < take)
            break;
        if (frameLength > take)
            AV.av_samples_set_silence(frame->extended_data, take, frameLength - take, encChannels,
                                      enc->sample_fmt);
        frame->pts = AV.av_rescale_q(ost.SyncOpts, AVRational{1, encRate}, enc->time_base);
        if (EncodeFrame(file, ost, frame) < 0) throw FFMpegException("Audio encoding failed");
        ost.SyncOpts += frameLength;
    }
    if (EncodeFrame(file, ost, nullptr) < 0) throw FFMpegException("Audio encoding failed");
}

} // namespace tarnwick::engine
