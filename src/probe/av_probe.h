#pragma once
// The media probe: opens one media file (or wraps an input an engine job opened), describes
// it as text and records, and decodes single pictures of a video stream for previews.
//
// Threads: a probe is used by one thread at a time and has no locks of its own; it never
// starts threads. Messages about misuse (nothing loaded, a bad stream index) go to the media
// libraries' log with no context object, at the engine's levels converted to the libraries'.
// Only missing libraries, a read-only handle asked to seek or decode, and a decoder that
// cannot be found or opened raise (std::runtime_error or its subclass FFMpegException).

#include "binding/scaler_buffer.h"
#include "platform/bitmap24.h"
#include "probe/probe_records.h"

#include <cstdint>
#include <memory>
#include <string>

// The library types the probe holds, declared only: the windows include this header and never
// the media libraries' own.
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace tarnwick::engine {
class TPictureTurner;
}

namespace tarnwick::probe {

class TAVProbe {
public:
    // Create: nothing loaded, every counter and index -1, no pictures yet.
    TAVProbe();
    // Destroy: Close, then the pictures go. An attached context stays open (its owner's).
    ~TAVProbe();
    TAVProbe(const TAVProbe&) = delete;
    TAVProbe& operator=(const TAVProbe&) = delete;

    // Raises std::runtime_error naming the first of libavcodec, libavformat, libavutil and
    // libswscale that is not loaded.
    static void CheckLibraries();

    // Opens the file (with the named input format, or detected when formatName is empty) and
    // reads its stream information. False leaves the reason in LastError and the probe empty.
    bool Open(const std::string& fileName, const std::string& formatName);
    // Wraps an input that someone else opened: the probe reads it (from the streams' codec
    // parameters) but never closes it and refuses to seek or decode on it. The owner keeps the
    // context open while it is attached, or calls Close before closing it.
    void AttachContext(AVFormatContext* context);
    // Back to empty: decoder, conversion context and buffer released, an owned file closed.
    // LastError and LastPicture survive.
    void Close();

    // The information text, every line ended by "\r\n"; empty when nothing is loaded.
    std::string InfoText();
    std::string FileName();
    std::string FormatName();
    // The container's size, or the size on disk when the container does not know it; -1 when
    // nothing is loaded.
    int64_t FileSize();

    void GetFormatInfo(TAVFormatInfo& info);
    // Index -1 takes the first stream of the kind.
    void GetVideoStreamInfo(int index, TAVVideoStreamInfo& info);
    void GetAudioStreamInfo(int index, TAVAudioStreamInfo& info);
    bool IsVideoStream(int index);
    // Whether the video stream's pictures are interlaced: its field order, else the flags of
    // the last picture DecodeFrame gave of it (some decoders tell only there), else unknown.
    TScanType ScanType(int index) const;
    bool IsAudioStream(int index);

    // Positions the file near timeUs (µs from the start); streamIndex -1 chooses the first
    // video, else audio, else subtitle stream. Times <= 0 go back to the beginning. A failed
    // library seek is only logged. Raises on an attached context.
    bool Seek(int streamIndex, int64_t timeUs);
    // Reads on until one picture of the video stream (-1: the first one) is decoded and
    // returns it in WorkPicture at the stream's own size, turned as the stream displays it (a
    // portrait phone clip stored as 1280 x 720 gives 720 x 1280): black at end of file or when
    // it cannot be converted, 0 x 0 when there is nothing to decode. Raises on an attached
    // context and when the stream's decoder cannot be found or opened. The returned picture
    // is the probe's and is overwritten by the next call.
    platform::Bitmap24& DecodeFrame(int streamIndex);
    // A copy of the last successfully decoded picture; kept across Close and failed decodes.
    platform::Bitmap24& LastPicture();

    // ---- Readable state ----
    AVFormatContext* Context() const { return Context_; }
    bool OwnsContext() const { return OwnsContext_; }
    const std::string& LastError() const { return LastError_; }
    const std::string& ForcedFormat() const { return ForcedFormat_; }
    int StreamCount() const { return StreamCount_; }
    int ProgramCount() const { return ProgramCount_; }
    int AudioStreamCount() const { return AudioStreamCount_; }
    int VideoStreamCount() const { return VideoStreamCount_; }
    int SubtitleStreamCount() const { return SubtitleStreamCount_; }
    int FirstAudioStream() const { return FirstAudioStream_; }
    int FirstVideoStream() const { return FirstVideoStream_; }
    int FirstSubtitleStream() const { return FirstSubtitleStream_; }
    const AVCodecContext* DecoderContext() const { return DecoderContext_; }
    const SwsContext* ScaleContext() const { return ScaleContext_; }
    // nullptr until the first DecodeFrame.
    const platform::Bitmap24* WorkPicture() const { return WorkPicture_.get(); }
    bool LastWasStillImage() const { return LastWasStillImage_; }
    const uint8_t* PictureBuffer() const { return PictureBuffer_.Data(); }
    int PictureBufferSize() const { return PictureBuffer_.Size(); }

private:
    void CountStreams();
    std::string DescribeStream(int index);
    // True when the input format is the still-picture demuxer, which cannot seek.
    bool IsStillImageFormat() const;
    bool StreamIndexValid(int index) const;
    // The stream a record query means (index -1: the first of the kind), or -1 after logging
    // why there is none. mediaType is the libraries' number, kind "video" or "audio".
    int StreamOfKind(int index, int mediaType, const char* kind);
    // The stream's media type is mediaType; logs and answers false without a file or a stream.
    bool IsStreamOfType(int index, int mediaType);
    // Opens a decoder for the stream unless it is the open one; raises on failure.
    void OpenDecoder(int streamIndex);
    void CloseDecoder();
    // Converts the frame to BGR and copies it into WorkPicture; false when no conversion
    // context can be had.
    bool CopyFrameToWorkPicture(const AVFrame& frame);

    // Open state
    AVFormatContext* Context_ = nullptr;
    bool OwnsContext_ = false;
    std::string LastError_;
    std::string ForcedFormat_;
    int StreamCount_ = -1;
    int ProgramCount_ = -1;
    int AudioStreamCount_ = -1;
    int VideoStreamCount_ = -1;
    int SubtitleStreamCount_ = -1;
    int FirstAudioStream_ = -1;
    int FirstVideoStream_ = -1;
    int FirstSubtitleStream_ = -1;

    // Decoding state. This library generation keeps no codec context in a stream: the probe
    // makes its own decoder context from the stream's parameters, for one stream at a time.
    AVCodecContext* DecoderContext_ = nullptr;
    int DecoderStream_ = -1;
    // How the last picture decoded of DecoderStream_ was scanned.
    TScanType DecodedScanType_ = stUnknown;
    // Turns the open decoder's pictures when its stream displays them turned or mirrored.
    std::unique_ptr<engine::TPictureTurner> Turner_;
    SwsContext* ScaleContext_ = nullptr;
    std::unique_ptr<platform::Bitmap24> WorkPicture_;
    std::unique_ptr<platform::Bitmap24> LastPicture_;
    bool LastWasStillImage_ = false;
    binding::ScalerPictureBuffer PictureBuffer_;
    // Reused for every read and decode; made at first need, freed with the probe.
    AVPacket* Packet_ = nullptr;
    AVFrame* Frame_ = nullptr;
};

} // namespace tarnwick::probe
