#pragma once
// The working records of one transcode run: one per input file, one per input stream and one
// per output stream. The run owns them from its setup to its release; every library object a
// record holds is owned by the record (and freed by the release of the run) unless the field
// says otherwise. All of them are touched only by the job's run thread.

#include "binding/media_headers.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace tarnwick::engine {

class TPictureGraph;
class TPictureTurner;

struct TInputFileRecord {
    bool EofReached = false; // the demuxer reported its end; set by the loop
    int32_t FirstStreamIndex = 0; // index of this file's first stream in the input-stream table
    int32_t StreamCount = 0;
};

struct TInputStreamRecord {
    int32_t FileIndex = 0;
    int32_t StreamIndex = 0;
    AVStream* Stream = nullptr; // the demuxer's stream (not owned)
    // The job's decoder context for this stream, InputCodecContexts[FileIndex][StreamIndex]
    // (not owned; opened by the setup when DecodingNeeded).
    AVCodecContext* Decoder = nullptr;
    bool Discard = true; // no output takes this stream: its packets are dropped unread
    bool DecodingNeeded = false;
    bool RateEmulation = false; // feed no faster than real time
    int64_t RateEmuStart = 0; // av_gettime when reading began (µs)
    int32_t RateEmuFrames = 0;
    int64_t NextPts = AV_NOPTS_VALUE; // µs: expected time of the next decoded data
    int64_t Pts = 0; // µs: time of the data being processed
    bool IsStart = true; // nothing inserted or discarded yet by the audio sync
    int32_t Quality = 0; // quality (lambda) of the last decoded picture
    int32_t RequestedChannels = 0; // channel count asked of the audio decoder; 0 none
    // Every decoded frame of this stream arrives here; reused for the whole run. After the video
    // pre-processing it is the picture handed to the filter graph or to VideoOutput.
    AVFrame* DecodedFrame = nullptr;

    // Video: the motion-adaptive deinterlacer every decoded picture passes first, made by the
    // setup when the job asks for it (AdaptiveDeinterlace). It keeps one picture back to
    // compare with the next, so its pictures come out one late and the last at the end.
    TPictureGraph* Deinterlacer = nullptr;
    // Video: pictures are used as the stream displays them. The turner, made by the setup when
    // the stream's display matrix turns or mirrors them, does that to every decoded picture
    // before anything else sees it. The size, format and pixel aspect of the pictures from
    // then on (the decoder's when nothing turns them); set by the setup.
    TPictureTurner* Turner = nullptr;
    int32_t PictureWidth = 0;
    int32_t PictureHeight = 0;
    AVPixelFormat PictureFormat = AV_PIX_FMT_NONE;
    AVRational PictureAspect{0, 1};

    // Video filter graph (built by ConfigureFilters, freed by the release of the run).
    AVFilterGraph* FilterGraph = nullptr;
    AVFilterContext* FilterIn = nullptr; // buffer source
    AVFilterContext* FilterOut = nullptr; // buffer sink
    // The decoded picture waiting to enter the graph: DecodePacket references the pre-processed
    // picture here and sets HasFilterFrame; PullFilteredPicture pushes it into FilterIn and
    // clears HasFilterFrame. Allocated by the setup when the stream feeds a graph.
    AVFrame* FilterFrame = nullptr;
    bool HasFilterFrame = false;
    // The last picture taken from FilterOut; DecodePacket unreferences it after feeding the
    // outputs. Allocated by the setup when the stream feeds a graph.
    AVFrame* FilterPicture = nullptr;
};

// What this library generation reports about an encoded frame: the packet's flags and its
// quality side data (AV_PKT_DATA_QUALITY_STATS). Filled for every packet an encoder returns.
struct TCodedFrameInfo {
    bool Valid = false; // some packet was received from the encoder
    bool KeyFrame = false;
    int32_t Quality = 0; // lambda; divide by FF_QP2LAMBDA for the quantiser
    int32_t PictType = AV_PICTURE_TYPE_NONE;
    uint64_t Error[4] = {0, 0, 0, 0}; // per plane, with AV_CODEC_FLAG_PSNR
};

struct TOutputStreamRecord {
    int32_t FileIndex = 0;
    int32_t StreamIndex = 0;
    int32_t SourceIndex = 0; // index of the source stream in the input-stream table
    AVStream* Stream = nullptr; // the muxer's stream (not owned)
    // The job's encoder context, OutputCodecContexts[FileIndex][StreamIndex] (not owned). For
    // a stream copy it carries the copy's time base (the unit of its timestamps before muxing).
    AVCodecContext* Encoder = nullptr;
    bool EncodingNeeded = false; // false: stream copy
    int32_t FrameNumber = 0; // frames (or packets, for a copy) written so far
    TInputStreamRecord* SyncInput = nullptr; // input whose time drives this stream's sync
    int64_t SyncOpts = 0; // output position in encoder time-base units (video frames, samples)
    // The pts (in Stream->time_base) of the last packet WritePacket wrote for this stream:
    // the muxer's running timestamp of the stream.
    int64_t LastPts = AV_NOPTS_VALUE;
    TCodedFrameInfo CodedFrame;

    // Video (re-encoded): scaling, cropping and padding.
    bool VideoResample = false;
    // Scaler output and pad work picture with its own buffer, in the encoder's pixel format and
    // size (allocated by the setup when VideoResample or VideoPad).
    AVFrame* ResamplePicture = nullptr;
    SwsContext* ScaleContext = nullptr;
    int32_t ResampleHeight = 0; // source rows given to the scaler
    bool VideoCrop = false;
    int32_t CropTopBand = 0, CropLeftBand = 0;
    bool VideoPad = false;
    int32_t PadTopBand = 0, PadBottomBand = 0, PadLeftBand = 0, PadRightBand = 0;

    // Audio (re-encoded).
    bool AudioResample = false; // rate differs, or the sync may stretch (AudioSyncMethod > 1)
    SwrContext* Resampler = nullptr; // decoder layout/rate to encoder layout/rate; made by AudioOutput
    int32_t ReformatPair = -6; // encoder + 5 x decoder sample format of ReformatContext; -6 none
    SwrContext* ReformatContext = nullptr; // sample-format converter; made by AudioOutput
    // Encoder input FIFO in the encoder's sample format and channel count (setup: 1024 samples).
    AVAudioFifo* AudioFifo = nullptr;
    // The frame handed to the audio encoder; see TCustomFFmpeg::AudioEncoderFrame.
    AVFrame* AudioFrame = nullptr;

    // Audio path: the decoded chunks Resampler was made for, so that a decoder that changes
    // format, rate or channel count mid-stream gets a new one.
    int32_t ResamplerInputFormat = AV_SAMPLE_FMT_NONE;
    int32_t ResamplerInputRate = 0;
    int32_t ResamplerInputChannels = 0;

    FILE* PassLogFile = nullptr; // first-pass statistics file

    // Packet output: the stream's bitstream filter chain (from BitstreamFilterTable), a packet
    // reused for every packet this stream writes (encoded or copied), and a second one that
    // keeps a packet while a bitstream filter works on it.
    std::vector<AVBSFContext*> BitstreamFilters;
    AVPacket* Packet = nullptr;
    AVPacket* FilterPacket = nullptr;
};

// One run: the files it was given and its three tables, in file order, then stream order.
struct TTranscodeTables {
    AVFormatContext** OutputFiles = nullptr;
    int OutputFileCount = 0;
    AVFormatContext** InputFiles = nullptr;
    int InputFileCount = 0;
    AVPacket* ReadPacket = nullptr; // every packet read from the inputs, one at a time
    std::vector<TInputFileRecord> InputFileRecords;
    std::vector<TInputStreamRecord> InputStreams;
    std::vector<TOutputStreamRecord> OutputStreams;
};

} // namespace tarnwick::engine
