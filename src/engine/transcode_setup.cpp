// First phase of a run: the three tables, the output checks and the source of every output
// stream (maps, program, first free stream of the type, then reuse).
#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "engine/setup_failure.h"
#include "platform/ffmpeg_exception.h"

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

void Fail(const char* format, int a, int b) { FailWithNumbers(format, a, b); }

AVMediaType MediaType(const TInputStreamRecord& ist) { return ist.Stream->codecpar->codec_type; }

} // namespace

void TCustomFFmpeg::BuildInputTables(TTranscodeTables& run) {
    run.InputFileRecords.resize(run.InputFileCount);
    int total = 0;
    for (int f = 0; f < run.InputFileCount; ++f) {
        TInputFileRecord& record = run.InputFileRecords[f];
        record.FirstStreamIndex = total;
        record.StreamCount = static_cast<int32_t>(run.InputFiles[f]->nb_streams);
        total += record.StreamCount;
    }
    run.InputStreams.resize(total);
    for (int f = 0; f < run.InputFileCount; ++f) {
        const TInputFileRecord& file = run.InputFileRecords[f];
        for (int s = 0; s < file.StreamCount; ++s) {
            TInputStreamRecord& ist = run.InputStreams[file.FirstStreamIndex + s];
            ist.FileIndex = f;
            ist.StreamIndex = s;
            ist.Stream = run.InputFiles[f]->streams[s];
            const auto& decoders = InputCodecContexts[f];
            ist.Decoder = s < static_cast<int>(decoders.size()) ? decoders[s] : nullptr;
            ist.Discard = true;
            ist.DecodedFrame = AV.av_frame_alloc();
            if (!ist.DecodedFrame) throw FFMpegException("av_mallocz fail");
            ist.RateEmulation = InputRateEmulation[f];
            if (ist.RateEmulation) {
                ist.RateEmuStart = AV.av_gettime();
                ist.RateEmuFrames = 0;
            }
        }
    }
    run.ReadPacket = AV.av_packet_alloc();
    if (!run.ReadPacket) throw FFMpegException("av_mallocz fail");
}

void TCustomFFmpeg::CheckOutputs(const TTranscodeTables& run, const TStreamMap* streamMaps,
                                 int streamMapCount) {
    int outputStreams = 0;
    for (int f = 0; f < run.OutputFileCount; ++f) {
        if (run.OutputFiles[f]->nb_streams == 0)
            throw FFMpegException("Output file does not contain any stream");
        outputStreams += static_cast<int>(run.OutputFiles[f]->nb_streams);
    }
    if (streamMapCount > 0 && streamMapCount != outputStreams)
        throw FFMpegException("Number of stream maps must match number of output streams");
    const auto streamExists = [&run](int file, int stream) {
        return file >= 0 && file < run.InputFileCount && stream >= 0 &&
               stream < run.InputFileRecords[file].StreamCount;
    };
    for (int i = 0; i < streamMapCount; ++i) {
        const TStreamMap& map = streamMaps[i];
        if (!streamExists(map.FileIndex, map.StreamIndex))
            Fail("Could not find input stream #%d.%d", map.FileIndex, map.StreamIndex);
        if (!streamExists(map.SyncFileIndex, map.SyncStreamIndex))
            Fail("Could not find sync stream #%d.%d", map.SyncFileIndex, map.SyncStreamIndex);
    }
}

int TCustomFFmpeg::FindProgramStream(const TTranscodeTables& run, AVMediaType type) const {
    for (int f = 0; f < run.InputFileCount; ++f) {
        const AVFormatContext* input = run.InputFiles[f];
        for (unsigned p = 0; p < input->nb_programs; ++p) {
            const AVProgram* program = input->programs[p];
            if (program->id != ProgramId) continue;
            for (unsigned i = 0; i < program->nb_stream_indexes; ++i) {
                const int index = run.InputFileRecords[f].FirstStreamIndex +
                                  static_cast<int>(program->stream_index[i]);
                if (index >= static_cast<int>(run.InputStreams.size())) continue;
                const TInputStreamRecord& ist = run.InputStreams[index];
                if (ist.Discard && MediaType(ist) == type) return index;
            }
        }
    }
    return -1;
}

void TCustomFFmpeg::BuildOutputTable(TTranscodeTables& run, const TStreamMap* streamMaps,
                                     int streamMapCount) {
    int total = 0;
    for (int f = 0; f < run.OutputFileCount; ++f) total += static_cast<int>(run.OutputFiles[f]->nb_streams);
    run.OutputStreams.resize(total);
    int n = 0;
    for (int f = 0; f < run.OutputFileCount; ++f) {
        AVFormatContext* output = run.OutputFiles[f];
        for (int s = 0; s < static_cast<int>(output->nb_streams); ++s, ++n) {
            TOutputStreamRecord& ost = run.OutputStreams[n];
            ost.FileIndex = f;
            ost.StreamIndex = s;
            ost.Stream = output->streams[s];
            const auto& encoders = OutputCodecContexts[f];
            ost.Encoder = s < static_cast<int>(encoders.size()) ? encoders[s] : nullptr;
            if (!ost.Encoder) throw FFMpegException("invalid codec_type of output stream");
            ost.EncodingNeeded = !(s < static_cast<int>(OutputStreamCopy[f].size()) && OutputStreamCopy[f][s]);
            ost.Packet = AV.av_packet_alloc();
            ost.FilterPacket = AV.av_packet_alloc();
            if (!ost.Packet || !ost.FilterPacket) throw FFMpegException("av_mallocz fail");

            const AVMediaType type = ost.Encoder->codec_type;
            int source = -1;
            if (streamMapCount > 0) {
                const TStreamMap& map = streamMaps[n];
                source = run.InputFileRecords[map.FileIndex].FirstStreamIndex + map.StreamIndex;
                if (MediaType(run.InputStreams[source]) != type) {
                    AV.av_dump_format(output, f, output->url, 1);
                    char text[256];
                    std::snprintf(text, sizeof text, "Codec type mismatch for mapping #%d.%d -> #%d.%d",
                                  map.FileIndex, map.StreamIndex, f, s);
                    throw FFMpegException(text);
                }
            } else if (ProgramId != 0) {
                source = FindProgramStream(run, type);
            } else {
                for (int i = 0; i < static_cast<int>(run.InputStreams.size()) && source < 0; ++i)
                    if (run.InputStreams[i].Discard && MediaType(run.InputStreams[i]) == type)
                        source = i;
            }
            // Every input stream of the type is taken: the last one feeds this output too.
            if (source < 0 && ProgramId == 0)
                for (int i = 0; i < static_cast<int>(run.InputStreams.size()); ++i)
                    if (MediaType(run.InputStreams[i]) == type) source = i;
            if (source < 0) {
                AV.av_dump_format(output, f, output->url, 1);
                Fail("Could not find input stream matching output stream #%d.%d", f, s);
            }
            ost.SourceIndex = source;
            TInputStreamRecord& ist = run.InputStreams[source];
            if (!ist.Decoder) throw FFMpegException("invalid codec_type of input file");
            ist.Discard = false;
            if (streamMapCount > 0) {
                const TStreamMap& map = streamMaps[n];
                ost.SyncInput = &run.InputStreams[run.InputFileRecords[map.SyncFileIndex].FirstStreamIndex +
                                                  map.SyncStreamIndex];
            } else {
                ost.SyncInput = &ist;
            }
        }
    }
}

} // namespace tarnwick::engine
