// Second phase of a run: read packets from the input whose output lags most until an end is
// reached, then drain, write the trailers and close the codecs.
#include "engine/custom_ffmpeg.h"

#include "binding/log_levels.h"
#include "binding/media_libraries.h"
#include "engine/open_errors.h"
#include "platform/codec_lock.h"
#include "platform/ffmpeg_exception.h"

#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <mutex>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// Seconds of output so far: frames for re-encoded video, samples taken in for re-encoded sound
// (those waiting for a whole encoder frame included, so that a stream cut at the recording time
// counts as complete), else the muxer's running timestamp. A copied video stream counts its
// packets too, but in a time base that need not be one frame long, so its muxer timestamp is
// what tells its time.
double OutputTime(const TOutputStreamRecord& ost) {
    if (ost.EncodingNeeded && ost.Encoder->codec_type == AVMEDIA_TYPE_VIDEO)
        return static_cast<double>(ost.SyncOpts) * av_q2d(ost.Encoder->time_base);
    if (ost.EncodingNeeded && ost.Encoder->codec_type == AVMEDIA_TYPE_AUDIO &&
        ost.Encoder->sample_rate > 0)
        return static_cast<double>(ost.SyncOpts + TCustomFFmpeg::QueuedAudioSamples(ost)) /
               ost.Encoder->sample_rate;
    if (ost.LastPts == AV_NOPTS_VALUE) return 0;
    return static_cast<double>(ost.LastPts) * av_q2d(ost.Stream->time_base);
}

int64_t RoundedScale(int64_t value, double scale) {
    return static_cast<int64_t>(std::nearbyint(static_cast<double>(value) * scale));
}

} // namespace

// The input file to read next: the one whose output stream is furthest behind (by input time
// with InputSync), or -1 when every source is at its end or a stream reached its frame limit.
int TCustomFFmpeg::ChooseInputFile(const TTranscodeTables& run, double& outputTimeMin) const {
    double inputTimeMin = 1e100;
    outputTimeMin = 1e100;
    int file = -1;
    for (const TOutputStreamRecord& ost : run.OutputStreams) {
        const TInputStreamRecord& ist = run.InputStreams[ost.SourceIndex];
        const double outputTime = OutputTime(ost);
        const double inputTime = static_cast<double>(ist.Pts);
        if (!run.InputFileRecords[ist.FileIndex].EofReached) {
            if (inputTime < inputTimeMin) {
                inputTimeMin = inputTime;
                if (InputSync) file = ist.FileIndex;
            }
            if (outputTime < outputTimeMin) {
                outputTimeMin = outputTime;
                if (!InputSync) file = ist.FileIndex;
            }
        }
        const int type = ost.Encoder->codec_type;
        if (type >= 0 && type < static_cast<int>(MaxFrames.size()) && ost.FrameNumber >= MaxFrames[type])
            return -1;
    }
    return file;
}

void TCustomFFmpeg::RunMainLoop(TTranscodeTables& run) {
    int64_t lastReport = TimerStart;
    AVPacket* packet = run.ReadPacket;
    while (!StopRequested) {
        PassPauseGate();
        if (StopRequested) break;
        double outputTimeMin = 0;
        const int file = ChooseInputFile(run, outputTimeMin);
        if (file < 0) break;
        if (static_cast<double>(RecordingTime) / 1000000 <= outputTimeMin) break;
        AVIOContext* firstOutput = run.OutputFiles[0]->pb;
        if (LimitFileSize != 0 && firstOutput &&
            AV.avio_seek(firstOutput, 0, SEEK_CUR) > LimitFileSize)
            break;

        TInputFileRecord& input = run.InputFileRecords[file];
        if (AV.av_read_frame(run.InputFiles[file], packet) < 0) {
            input.EofReached = true;
            if (Shortest) break;
            continue;
        }
        const bool known = packet->stream_index < input.StreamCount;
        if (DoPktDump)
            AV.av_pkt_dump_log2(nullptr, binding::EngineToLibraryLogLevel(2), packet, DoHexDump,
                                known ? run.InputFiles[file]->streams[packet->stream_index] : nullptr);
        const int index = input.FirstStreamIndex + packet->stream_index;
        if (known && !run.InputStreams[index].Discard) {
            TInputStreamRecord& ist = run.InputStreams[index];
            CorrectTimestamps(ist, packet);
            if (DecodePacket(ist, index, run, packet) < 0) {
                AV.av_packet_unref(packet);
                char text[256];
                std::snprintf(text, sizeof text, "Error while decoding stream #%d.%d",
                              ist.FileIndex, ist.StreamIndex);
                if (ExitOnError) throw FFMpegException(text);
                if (Verbose >= 0) Log(1, text);
                continue;
            }
        }
        AV.av_packet_unref(packet);

        const int64_t now = AV.av_gettime();
        if (now - lastReport > ProgressIntervalUs) {
            lastReport = now;
            ProgressReport(run, false);
        }
    }
}

// The file's offset, the stream's scale, and a correction of jumps in the decoding time.
void TCustomFFmpeg::CorrectTimestamps(TInputStreamRecord& ist, AVPacket* packet) {
    const AVRational timeBase = ist.Stream->time_base;
    const int64_t offset = AV.av_rescale_q(InputTsOffset[ist.FileIndex], AV_TIME_BASE_Q, timeBase);
    if (packet->dts != AV_NOPTS_VALUE) packet->dts += offset;
    if (packet->pts != AV_NOPTS_VALUE) packet->pts += offset;

    const double scale = ist.StreamIndex < MaxStreamsPerFile
                             ? InputTsScale[ist.FileIndex][ist.StreamIndex]
                             : 0;
    if (scale != 0) {
        if (packet->pts != AV_NOPTS_VALUE) packet->pts = RoundedScale(packet->pts, scale);
        if (packet->dts != AV_NOPTS_VALUE) packet->dts = RoundedScale(packet->dts, scale);
    }

    if (packet->dts == AV_NOPTS_VALUE || ist.NextPts == AV_NOPTS_VALUE || CopyTs) return;
    const int64_t packetDts = AV.av_rescale_q(packet->dts, timeBase, AV_TIME_BASE_Q);
    const int64_t delta = packetDts - ist.NextPts;
    if (std::llabs(delta) > static_cast<int64_t>(DtsDeltaThreshold * 1000000) ||
        packetDts + 1 < ist.Pts) {
        InputTsOffset[ist.FileIndex] -= delta;
        if (Verbose > 2 && LogHandler)
            LogFormat(1, "timestamp discontinuity %" PRId64 ", new offset= %" PRId64, delta,
                      InputTsOffset[ist.FileIndex]);
        const int64_t shift = AV.av_rescale_q(delta, AV_TIME_BASE_Q, timeBase);
        packet->dts -= shift;
        if (packet->pts != AV_NOPTS_VALUE) packet->pts -= shift;
    }
}

void TCustomFFmpeg::EndRun(TTranscodeTables& run) {
    for (int i = 0; i < static_cast<int>(run.InputStreams.size()); ++i)
        if (run.InputStreams[i].DecodingNeeded) DecodePacket(run.InputStreams[i], i, run, nullptr);

    // A trailer that cannot be written leaves a broken file: that is the run's failure, told
    // once every output has had its chance.
    int trailerError = 0;
    for (int f = 0; f < run.OutputFileCount; ++f) {
        const int result = AV.av_write_trailer(run.OutputFiles[f]);
        if (result < 0 && trailerError == 0) trailerError = result;
    }
    if (trailerError < 0) throw FFMpegException(OpenErrorText("av_write_trailer()", trailerError));

    ProgressReport(run, true);

    for (TOutputStreamRecord& ost : run.OutputStreams) {
        if (!ost.EncodingNeeded) continue;
        AV.av_freep(&ost.Encoder->stats_in);
        std::lock_guard lock(platform::CodecLock());
        AV.avcodec_close(ost.Encoder);
        UnregisterEncoder(ost.Encoder);
    }
    for (TInputStreamRecord& ist : run.InputStreams) {
        if (!ist.DecodingNeeded) continue;
        std::lock_guard lock(platform::CodecLock());
        AV.avcodec_close(ist.Decoder);
        UnregisterDecoder(ist.Decoder);
    }
    Finished = !StopRequested;
}

} // namespace tarnwick::engine
