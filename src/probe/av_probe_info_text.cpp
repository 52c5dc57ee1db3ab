// The probe's information text: container lines, then one line per stream.

#include "probe/av_probe.h"

#include "binding/media_functions.h"
#include "platform/convert.h"
#include "probe/date_time.h"
#include "probe/probe_log.h"
#include "probe/text_helpers.h"

#include <cstdio>
#include <vector>

namespace tarnwick::probe {

using binding::AV;

namespace {

constexpr AVRational Microseconds{1, 1000000};

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string TagOrEmpty(const AVDictionary* tags, const char* key) {
    const AVDictionaryEntry* entry = AV.av_dict_get(tags, key, nullptr, 0);
    return entry ? entry->value : "";
}

// The library's one-line description of the stream's codec, as a decoder sees it.
std::string CodecDescription(const AVStream& stream) {
    char text[256] = {};
    AVCodecContext* codec = AV.avcodec_alloc_context3(nullptr);
    if (!codec) return {};
    if (AV.avcodec_parameters_to_context(codec, stream.codecpar) >= 0)
        AV.avcodec_string(text, sizeof text, codec, 0);
    AV.avcodec_free_context(&codec);
    return text;
}

} // namespace

std::string TAVProbe::DescribeStream(int index) {
    const AVStream& stream = *Context_->streams[index];
    std::string line = Printf("Stream #%d", index);
    if (Context_->iformat->flags & AVFMT_SHOW_IDS) line += Printf("[0x%x]", stream.id);
    const std::string language = platform::Trim(TagOrEmpty(stream.metadata, "language"));
    if (!language.empty()) line += "(" + language + ")";
    AVRational timeBase = stream.time_base;
    if (const int64_t divisor = AV.av_gcd(timeBase.num, timeBase.den); divisor > 0) {
        timeBase.num = static_cast<int>(timeBase.num / divisor);
        timeBase.den = static_cast<int>(timeBase.den / divisor);
    }
    line += Printf(", %d/%d", timeBase.num, timeBase.den);
    line += ": " + CodecDescription(stream);
    if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
        if (stream.r_frame_rate.num != 0 && stream.r_frame_rate.den != 0)
            line += Printf(", %5.2f tb(r)", av_q2d(stream.r_frame_rate));
        else
            line += Printf(", %5.2f tb(c)", 1 / av_q2d(AV.av_stream_get_codec_timebase(&stream)));
        if (const std::string interlaced = ScanTypeText(ScanType(index)); !interlaced.empty())
            line += ", Interlaced: " + interlaced;
    }
    if (stream.start_time != AV_NOPTS_VALUE)
        line +=
            ", StartTime: " +
            FormatSecondsMicro(AV.av_rescale_q(stream.start_time, stream.time_base, Microseconds));
    if (stream.duration == AV_NOPTS_VALUE)
        line += ", Duration: N/A";
    else
        line += ", Duration: " +
                FormatDuration(AV.av_rescale_q(stream.duration, stream.time_base, Microseconds));
    return line;
}

std::string TAVProbe::InfoText() {
    if (!Context_) {
        ProbeLog(1, "file not loaded.\n");
        return {};
    }
    std::vector<std::string> lines;
    lines.push_back("File Name: " + FileName());
    lines.push_back("Format Name: " + FormatName());
    lines.push_back(std::string("Format Long Name: ") +
                    (Context_->iformat->long_name ? Context_->iformat->long_name : ""));
    lines.push_back("File Size: " + FormatFileSize(FileSize()));

    TAVFormatInfo info;
    GetFormatInfo(info);
    if (info.StartTime != AV_NOPTS_VALUE)
        lines.push_back("StartTime: " + FormatSecondsMicro(info.StartTime));
    lines.push_back(info.Duration == AV_NOPTS_VALUE ? std::string("Duration: N/A")
                                                    : "Duration: " + FormatDuration(info.Duration));
    lines.push_back(info.BitRate < 1 ? std::string("Bit Rate: N/A")
                                     : Printf("Bit Rate: %d Kbps", info.BitRate / 1000));
    if (info.TimeStamp > 0)
        lines.push_back("Time Stamp: " +
                        FormatDateTimeText("yyyy-mm-dd hh:nn:ss", UnixTimeToLocal(info.TimeStamp)));
    const std::pair<const char*, const char*> tags[] = {
        {"Title: ", info.Title},     {"Author: ", info.Author}, {"Copyright: ", info.Copyright},
        {"Comment: ", info.Comment}, {"Album: ", info.Album},   {"Genre: ", info.Genre},
    };
    for (const auto& [caption, value] : tags)
        if (value[0]) lines.push_back(caption + std::string(value));
    if (info.Year > 0) lines.push_back(Printf("Year: %d", info.Year));
    if (info.Track > 0) lines.push_back(Printf("Track: #%d", info.Track));

    if (ProgramCount_ <= 0) {
        for (int i = 0; i < StreamCount_; ++i)
            lines.push_back(DescribeStream(i));
    } else {
        for (int p = 0; p < ProgramCount_; ++p) {
            const AVProgram& program = *Context_->programs[p];
            lines.push_back(Printf("Program %d %s@%s", program.id,
                                   TagOrEmpty(program.metadata, "service_name").c_str(),
                                   TagOrEmpty(program.metadata, "service_provider").c_str()));
            for (unsigned s = 0; s < program.nb_stream_indexes; ++s) {
                const auto index = static_cast<int>(program.stream_index[s]);
                if (StreamIndexValid(index)) lines.push_back(DescribeStream(index));
            }
        }
    }

    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace tarnwick::probe
