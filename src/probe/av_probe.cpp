#include "probe/av_probe.h"

#include "binding/media_libraries.h"
#include "engine/open_errors.h"
#include "engine/picture_turner.h"
#include "platform/codec_lock.h"
#include "probe/probe_log.h"
#include "probe/text_helpers.h"

#include <stdexcept>

namespace tarnwick::probe {

using binding::AV;

namespace {

// The demuxers this library generation picks for a single picture file ("png_pipe",
// "jpeg_pipe", ...), where the old generation picked the still-picture demuxer "image2".
bool IsImagePipe(const AVInputFormat* format) {
    const std::string name = format->name;
    const std::string suffix = "_pipe";
    return name == "image2pipe" ||
           (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0);
}

// The picture file opened with "image2", its name taken literally (no number pattern, no
// wildcards); nullptr when that fails.
AVFormatContext* OpenAsStillPicture(const std::string& fileName) {
    AVFormatContext* context = nullptr;
    AVDictionary* options = nullptr;
    AV.av_dict_set(&options, "pattern_type", "none", 0);
    if (AV.avformat_open_input(&context, fileName.c_str(), AV.av_find_input_format("image2"),
                               &options) < 0)
        context = nullptr;
    AV.av_dict_free(&options);
    return context;
}

} // namespace

TAVProbe::TAVProbe() = default;

TAVProbe::~TAVProbe() {
    Close();
    if (Packet_) AV.av_packet_free(&Packet_);
    if (Frame_) AV.av_frame_free(&Frame_);
}

void TAVProbe::CheckLibraries() {
    if (!binding::AVCodecLoaded()) throw std::runtime_error("LibAVCodec not loaded.");
    if (!binding::AVFormatLoaded()) throw std::runtime_error("LibAVFormat not loaded.");
    if (!binding::AVUtilLoaded()) throw std::runtime_error("LibAVUtil not loaded.");
    if (!binding::SwScaleLoaded()) throw std::runtime_error("LibSwScale not loaded.");
}

bool TAVProbe::Open(const std::string& fileName, const std::string& formatName) {
    CheckLibraries();
    Close();
    const AVInputFormat* format = nullptr;
    if (!formatName.empty()) {
        format = AV.av_find_input_format(formatName.c_str());
        if (!format) {
            LastError_ = "Unknown input format: " + formatName;
            return false;
        }
    }
    Context_ = AV.avformat_alloc_context();
    OwnsContext_ = true;
    // On failure the library frees the context and clears the pointer.
    const int opened = AV.avformat_open_input(&Context_, fileName.c_str(), format, nullptr);
    if (opened < 0) {
        LastError_ =
            engine::OpenErrorText(fileName, engine::InputOpenFailure(fileName, format, opened));
        Close();
        return false;
    }
    // Still pictures go through "image2" as everywhere else in the program, which knows a
    // picture file by that format name; the detected demuxer stays when image2 refuses.
    if (!format && IsImagePipe(Context_->iformat)) {
        if (AVFormatContext* still = OpenAsStillPicture(fileName)) {
            AV.avformat_close_input(&Context_);
            Context_ = still;
        }
    }
    int found;
    {
        // Reading stream information opens decoders, which jobs do on their threads too.
        std::lock_guard lock(platform::CodecLock());
        found = AV.avformat_find_stream_info(Context_, nullptr);
    }
    if (found < 0) {
        LastError_ = fileName + ": could not find codec parameters";
        Close();
        return false;
    }
    CountStreams();
    ForcedFormat_ = formatName;
    return true;
}

void TAVProbe::AttachContext(AVFormatContext* context) {
    CheckLibraries();
    Close();
    OwnsContext_ = false;
    Context_ = context;
    CountStreams();
}

void TAVProbe::Close() {
    ForcedFormat_.clear();
    LastWasStillImage_ = false;
    if (WorkPicture_) WorkPicture_->SetSize(0, 0);
    // Only what exists is released: a probe that never loaded anything may live and die
    // without the libraries.
    if (ScaleContext_) AV.sws_freeContext(ScaleContext_);
    ScaleContext_ = nullptr;
    CloseDecoder();
    if (Context_ && OwnsContext_) AV.avformat_close_input(&Context_);
    Context_ = nullptr;
    OwnsContext_ = false;
    PictureBuffer_.Release();
    CountStreams();
}

void TAVProbe::CountStreams() {
    StreamCount_ = ProgramCount_ = -1;
    AudioStreamCount_ = VideoStreamCount_ = SubtitleStreamCount_ = -1;
    FirstAudioStream_ = FirstVideoStream_ = FirstSubtitleStream_ = -1;
    if (!Context_) return;
    StreamCount_ = static_cast<int>(Context_->nb_streams);
    ProgramCount_ = static_cast<int>(Context_->nb_programs);
    AudioStreamCount_ = VideoStreamCount_ = SubtitleStreamCount_ = 0;
    const auto count = [](int index, int& kindCount, int& first) {
        ++kindCount;
        if (first == -1) first = index;
    };
    for (int i = 0; i < StreamCount_; ++i) {
        switch (Context_->streams[i]->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO: count(i, VideoStreamCount_, FirstVideoStream_); break;
        case AVMEDIA_TYPE_AUDIO: count(i, AudioStreamCount_, FirstAudioStream_); break;
        case AVMEDIA_TYPE_SUBTITLE: count(i, SubtitleStreamCount_, FirstSubtitleStream_); break;
        default: break;
        }
    }
}

bool TAVProbe::StreamIndexValid(int index) const { return index >= 0 && index < StreamCount_; }

std::string TAVProbe::FileName() {
    if (!Context_) {
        ProbeLog(1, "file not loaded.\n");
        return {};
    }
    return Context_->url ? Context_->url : "";
}

std::string TAVProbe::FormatName() {
    if (!Context_) {
        ProbeLog(1, "file not loaded.\n");
        return {};
    }
    return Context_->iformat ? Context_->iformat->name : "";
}

int64_t TAVProbe::FileSize() {
    if (!Context_) {
        ProbeLog(1, "file not loaded.\n");
        return -1;
    }
    // Formats that open their own files (still pictures) have no byte stream to measure.
    const int64_t containerSize = Context_->pb ? AV.avio_size(Context_->pb) : 0;
    if (containerSize > 0) return containerSize;
    const int64_t onDisk = GetFileSizeOnDisk(Context_->url ? Context_->url : "");
    return onDisk >= 0 ? onDisk : containerSize;
}

bool TAVProbe::IsStreamOfType(int index, int mediaType) {
    if (!Context_) {
        ProbeLog(1, "file not loaded.\n");
        return false;
    }
    if (!StreamIndexValid(index)) {
        ProbeLog(0, "stream index #%d is invalid.\n", index);
        return false;
    }
    return Context_->streams[index]->codecpar->codec_type == mediaType;
}

bool TAVProbe::IsVideoStream(int index) { return IsStreamOfType(index, AVMEDIA_TYPE_VIDEO); }
bool TAVProbe::IsAudioStream(int index) { return IsStreamOfType(index, AVMEDIA_TYPE_AUDIO); }

} // namespace tarnwick::probe
