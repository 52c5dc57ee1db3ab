// The transcode of one run: setup, main loop, end phase, and the release of the run's tables.
#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "engine/picture_graph.h"
#include "engine/picture_turner.h"

#include <set>

namespace tarnwick::engine {

using binding::AV;

namespace {

// Releases the run's tables on every way out of the transcode. Codecs an error left open stay
// registered: the run entry closes them (CloseRegisteredEncoders, CloseRegisteredDecoders).
struct TRunRelease {
    TCustomFFmpeg& Job;
    TTranscodeTables& Run;
    ~TRunRelease() { Job.ReleaseRun(Run); }
};

} // namespace

void TCustomFFmpeg::Transcode(AVFormatContext** outputFiles, int outputFileCount,
                              AVFormatContext** inputFiles, int inputFileCount,
                              TStreamMap* streamMaps, int streamMapCount) {
    TTranscodeTables run;
    run.OutputFiles = outputFiles;
    run.OutputFileCount = outputFileCount;
    run.InputFiles = inputFiles;
    run.InputFileCount = inputFileCount;
    TRunRelease release{*this, run};
    SetUpRun(run, streamMaps, streamMapCount);
    RunMainLoop(run);
    EndRun(run);
}

void TCustomFFmpeg::SetUpRun(TTranscodeTables& run, const TStreamMap* streamMaps,
                             int streamMapCount) {
    TimerStart = 0;
    VideoBytes = AudioBytes = GlobalHeaderBytes = 0;
    QpHistogramCounts = {};

    BuildInputTables(run);
    CheckOutputs(run, streamMaps, streamMapCount);
    BuildOutputTable(run, streamMaps, streamMapCount);
    for (int n = 0; n < static_cast<int>(run.OutputStreams.size()); ++n) PrepareOutputStream(run, n);
    for (int f = 0; f < run.OutputFileCount; ++f)
        AV.av_dump_format(run.OutputFiles[f], f, run.OutputFiles[f]->url, 1);
    LogStreamMapping(run);

    std::set<std::string> reportedOptions;
    OpenOutputEncoders(run, reportedOptions);
    OpenInputDecoders(run);
    for (TInputStreamRecord& ist : run.InputStreams) {
        ist.Pts = 0;
        ist.NextPts = AV_NOPTS_VALUE;
        ist.IsStart = true;
    }
    ApplyMetaDataMaps(run);
    OpenBitstreamFilters(run);
    WriteHeaders(run, reportedOptions);
    TimerStart = AV.av_gettime();
}

void TCustomFFmpeg::ReleaseRun(TTranscodeTables& run) {
    AV.av_packet_free(&run.ReadPacket);
    for (TInputStreamRecord& ist : run.InputStreams) {
        AV.av_frame_free(&ist.DecodedFrame);
        AV.av_frame_free(&ist.FilterFrame);
        AV.av_frame_free(&ist.FilterPicture);
        AV.avfilter_graph_free(&ist.FilterGraph);
        ist.FilterIn = ist.FilterOut = nullptr;
        delete ist.Turner;
        ist.Turner = nullptr;
        delete ist.Deinterlacer;
        ist.Deinterlacer = nullptr;
    }
    for (TOutputStreamRecord& ost : run.OutputStreams) {
        if (ost.PassLogFile) std::fclose(ost.PassLogFile);
        ost.PassLogFile = nullptr;
        if (ost.EncodingNeeded && ost.Encoder) AV.av_freep(&ost.Encoder->stats_in);
        if (ost.AudioFifo) AV.av_audio_fifo_free(ost.AudioFifo);
        ost.AudioFifo = nullptr;
        AV.av_frame_free(&ost.AudioFrame);
        AV.av_frame_free(&ost.ResamplePicture);
        AV.sws_freeContext(ost.ScaleContext);
        ost.ScaleContext = nullptr;
        ost.VideoResample = false;
        AV.swr_free(&ost.Resampler);
        AV.swr_free(&ost.ReformatContext);
        for (AVBSFContext*& filter : ost.BitstreamFilters) AV.av_bsf_free(&filter);
        ost.BitstreamFilters.clear();
        AV.av_packet_free(&ost.Packet);
        AV.av_packet_free(&ost.FilterPacket);
    }
    run.OutputStreams.clear();
    run.InputStreams.clear();
    run.InputFileRecords.clear();
}

} // namespace tarnwick::engine
