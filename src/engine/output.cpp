#include "engine/custom_ffmpeg.h"

#include "binding/media_functions.h"
#include "engine/open_errors.h"
#include "engine/output_file_origin.h"
#include "platform/ffmpeg_exception.h"

#include <cctype>
#include <cstring>
#include <ctime>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// At most `limit` bytes, never ending inside a multi-byte character.
std::string Cut(const std::string& text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

void SetTag(AVFormatContext* output, const char* key, const std::string& value) {
    AV.av_dict_set(&output->metadata, key, value.c_str(), 0);
}

// The recording timestamp: this generation's muxers read it as the creation time tag.
std::string CreationTime(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S.000000Z", &utc);
    return text;
}

// The picture-sequence muxer writes one file per picture, named by the number in the output
// name. This library generation no longer flags it as needing that number: without one, the
// second picture fails after the first was written under the bare name.
bool NeedsNumberedName(const AVOutputFormat* format) {
    return (format->flags & AVFMT_NEEDNUMBER) || std::strcmp(format->name, "image2") == 0;
}

} // namespace

bool TCustomFFmpeg::HasResizingFilter(const std::string& filters) {
    static const std::string resizing = ",crop,rotate,scale,transpose,";
    std::string text = filters;
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string piece = text.substr(start, end - start);
        const std::string name = piece.substr(0, piece.find('='));
        if (resizing.find("," + name + ",") != std::string::npos) return true;
        start = end + 1;
    }
    return false;
}

void TCustomFFmpeg::ReleaseOutputFile(int index) {
    AVFormatContext* output = OutputFiles[index];
    if (output && output->oformat && !(output->oformat->flags & AVFMT_NOFILE) && output->pb)
        AV.avio_closep(&output->pb);
    for (AVCodecContext*& encoder : OutputCodecContexts[index]) AV.avcodec_free_context(&encoder);
    OutputCodecContexts[index].clear();
    OutputStreamCopy[index].clear();
    for (BitstreamFilterChain& chain : BitstreamFilterTable[index]) chain.clear();
    if (output) {
        // An output that stayed empty would look like a file that exists for a reason.
        if (output->url) RemoveCreatedOutputIfEmpty(OutputFileOrigins[index], output->url);
        AV.avformat_free_context(output);
    }
    OutputFiles[index] = nullptr;
    OutputFileOrigins[index] = {};
}

bool TCustomFFmpeg::OpenOutputFile(const std::string& fileName) {
    AVFormatContext* output = nullptr;
    int registered = -1;
    auto fail = [&](const std::string& message) {
        LastErrorText = message;
        ForcedOutputFormat = nullptr;
        ForcedInputFormat = nullptr;
        if (registered >= 0) {
            ReleaseOutputFile(registered);
            --OutputFileCount;
        } else if (output) {
            // Not registered yet: its streams' contexts sit at the next free index, and the
            // file on disk was not touched.
            OutputFiles[OutputFileCount] = nullptr;
            for (AVCodecContext*& encoder : OutputCodecContexts[OutputFileCount])
                AV.avcodec_free_context(&encoder);
            OutputCodecContexts[OutputFileCount].clear();
            OutputStreamCopy[OutputFileCount].clear();
            for (BitstreamFilterChain& chain : BitstreamFilterTable[OutputFileCount]) chain.clear();
            AV.avformat_free_context(output);
        }
        return false;
    };
    if (OutputFileCount >= MaxFiles) {
        // The table refuses the output; nothing is made for it.
        try {
            AddOutputFile(nullptr);
        } catch (const FFMpegException& error) {
            return fail(error.what());
        }
    }

    if (!VideoFilters.empty() && (CropTop || CropBottom || CropLeft || CropRight))
        return fail("Cannot enable crop options and filters at the same time.");
    if (HasResizingFilter(VideoFilters) && PadTop + PadBottom + PadLeft + PadRight != 0)
        return fail("Cannot enable pad options and the filters which resize frame at the same "
                    "time. (crop, rotate, scale, transpose, etc.)");
    UsingFilters = !VideoFilters.empty();

    const AVOutputFormat* format = ForcedOutputFormat;
    if (!format) format = AV.av_guess_format(nullptr, fileName.c_str(), nullptr);
    ForcedOutputFormat = format;
    if (!format) return fail("Unable to find a suitable output format for '" + fileName + "'");
    const int allocResult =
        AV.avformat_alloc_output_context2(&output, format, nullptr, fileName.c_str());
    if (allocResult < 0 || !output) {
        output = nullptr;
        return fail(OpenErrorText(fileName, allocResult < 0 ? allocResult : AVERROR(ENOMEM)));
    }
    // The pending streams' contexts are filed under the index the output will get.
    OutputFiles[OutputFileCount] = output;

    bool useVideo = VideoStreamCopy || format->video_codec != AV_CODEC_ID_NONE || !VideoCodecName.empty();
    bool useAudio = AudioStreamCopy || format->audio_codec != AV_CODEC_ID_NONE || !AudioCodecName.empty();
    bool useSubtitle = SubtitleStreamCopy || format->subtitle_codec != AV_CODEC_ID_NONE ||
                       !SubtitleCodecName.empty();
    if (InputFileCount > 0) {
        bool hasVideo, hasAudio, hasSubtitle;
        try {
            CheckInputStreamTypes(hasVideo, hasAudio, hasSubtitle);
        } catch (const std::exception& error) {
            return fail(std::string("check_audio_video_sub_inputs fail: ") + error.what());
        }
        useVideo &= hasVideo;
        useAudio &= hasAudio;
        useSubtitle &= hasSubtitle;
    }
    if (useVideo && !VideoDisable) {
        try {
            NewVideoStream(output);
        } catch (const std::exception& error) {
            return fail(std::string("new_video_stream fail: ") + error.what());
        }
    }
    if (useAudio && !AudioDisable) {
        try {
            NewAudioStream(output);
        } catch (const std::exception& error) {
            return fail(std::string("new_audio_stream fail: ") + error.what());
        }
    }
    if (useSubtitle && !SubtitleDisable) {
        try {
            NewSubtitleStream(output);
        } catch (const std::exception& error) {
            return fail(std::string("new_subtitle_stream fail: ") + error.what());
        }
    }

    if (RecTimestamp != 0) SetTag(output, "creation_time", CreationTime(RecTimestamp));
    if (!Title.empty()) SetTag(output, "title", Cut(Title, 511));
    if (!Author.empty()) {
        // Players read the artist; some containers keep an author field of their own.
        SetTag(output, "artist", Cut(Author, 511));
        SetTag(output, "author", Cut(Author, 511));
    }
    if (!Copyright.empty()) SetTag(output, "copyright", Cut(Copyright, 511));
    if (!Comment.empty()) SetTag(output, "comment", Cut(Comment, 511));
    if (!Album.empty()) SetTag(output, "album", Cut(Album, 511));
    if (Year > 0) SetTag(output, "date", std::to_string(Year));
    if (Track > 0) SetTag(output, "track", std::to_string(Track));
    if (!Genre.empty()) SetTag(output, "genre", Cut(Genre, 31));

    registered = AddOutputFile(output); // cannot refuse: capacity was checked above

    if (NeedsNumberedName(format) && !AV.av_filename_number_test(fileName.c_str()))
        return fail(OpenErrorText(fileName, AVERROR(EDOM)));
    if (!(format->flags & AVFMT_NOFILE)) {
        const bool existedBefore = PathNamesSomething(fileName);
        if (AV.avio_open2(&output->pb, fileName.c_str(), AVIO_FLAG_WRITE, nullptr, nullptr) < 0)
            return fail("Could not open '" + fileName + "'");
        OutputFileOrigins[registered] = OpenedOutputOrigin(fileName, existedBefore);
    }
    // This generation has no separate encoding parameter record: the muxer takes its
    // parameters from the streams and its options when the header is written.

    output->max_delay = static_cast<int>(MuxMaxDelay * 1000000);
    // The preload became a private option of the program-stream muxers and the loop count one
    // of the GIF muxer: set on the muxer's own options where it has them.
    if (output->priv_data) {
        AV.av_opt_set_int(output->priv_data, "preload", static_cast<int64_t>(MuxPreload * 1000000), 0);
        if (std::string(format->name) == "gif")
            AV.av_opt_set_int(output->priv_data, "loop", LoopOutput, 0);
    }
    ApplyContextOptions(output, FormatOptions, AV_OPT_FLAG_ENCODING_PARAM);

    ForcedOutputFormat = nullptr;
    ForcedInputFormat = nullptr;
    return true;
}

void TCustomFFmpeg::AddVideoStreamToLastOutput() {
    if (OutputFileCount <= 0) throw FFMpegException("At least one output file must be specified");
    NewVideoStream(OutputFiles[OutputFileCount - 1]);
}

void TCustomFFmpeg::AddAudioStreamToLastOutput() {
    if (OutputFileCount <= 0) throw FFMpegException("At least one output file must be specified");
    NewAudioStream(OutputFiles[OutputFileCount - 1]);
}

void TCustomFFmpeg::AddSubtitleStreamToLastOutput() {
    if (OutputFileCount <= 0) throw FFMpegException("At least one output file must be specified");
    NewSubtitleStream(OutputFiles[OutputFileCount - 1]);
}

} // namespace tarnwick::engine
