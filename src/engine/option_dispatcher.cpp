// The option text: lines of name=value, each dispatched by its name to a value handler, a
// job field, or the generic library option setter.

#include "engine/custom_ffmpeg.h"

#include "platform/convert.h"
#include "platform/ffmpeg_exception.h"

namespace tarnwick::engine {

using platform::StrToFloat;
using platform::StrToInt;
using platform::StrToInt64;

namespace {

using TOptionAction = void (*)(TCustomFFmpeg& job, const std::string& name,
                               const std::string& value);

struct TOptionEntry {
    const char* name;
    TOptionAction action;
};

void Ignore(TCustomFFmpeg& job, const std::string& name, const std::string&) {
    job.IgnoreOption(name);
}

void BitRate(TCustomFFmpeg& job, const std::string& name, const std::string& value) {
    job.SetBitRate(name, value);
}

void BitstreamFilter(TCustomFFmpeg& job, const std::string& name, const std::string& value) {
    job.AddBitstreamFilter(name, value);
}

float Decimal(const std::string& value) { return static_cast<float>(StrToFloat(value)); }

void SetIfPositive(int32_t& field, int32_t value) {
    if (value > 0) field = value;
}

// Names are tested in this order; each occurs once.
#define ACTION [](TCustomFFmpeg & job, [[maybe_unused]] const std::string& name, \
                  [[maybe_unused]] const std::string& value)
const TOptionEntry OptionTable[] = {
    {"L", Ignore},
    {"h", Ignore},
    {"version", Ignore},
    {"formats", Ignore},
    {"f", ACTION { job.SetFormat(value); }},
    {"i", Ignore},
    {"y", Ignore},
    {"map", ACTION { job.SetStreamMap(value); }},
    {"map_meta_data", ACTION { job.SetMetaDataMap(value); }},
    {"t", ACTION { job.SetRecordingTime(name, value); }},
    {"fs", ACTION { job.LimitFileSize = StrToInt64(value); }},
    {"ss", ACTION { job.SetStartTime(name, value); }},
    {"itsoffset", ACTION { job.SetInputTsOffset(name, value); }},
    {"itsscale", ACTION { job.SetInputTsScale(value); }},
    {"title", ACTION { job.SetTitle(value); }},
    {"timestamp", ACTION { job.SetRecTimestamp(name, value); }},
    {"author", ACTION { job.SetAuthor(value); }},
    {"copyright", ACTION { job.SetCopyright(value); }},
    {"comment", ACTION { job.SetComment(value); }},
    {"genre", ACTION { job.SetGenre(value); }},
    {"album", ACTION { job.SetAlbum(value); }},
    {"dframes", ACTION { job.MaxFrames[AVMEDIA_TYPE_DATA] = StrToInt(value); }},
    {"benchmark", Ignore},
    {"dump", ACTION { job.DoPktDump = true; }},
    {"hex", ACTION { job.DoHexDump = true; }},
    {"re", ACTION { job.RateEmulation = true; }},
    {"loop_input", ACTION { job.LoopInput = true; }},
    {"loop_output", ACTION { job.LoopOutput = StrToInt(value); }},
    {"v", ACTION { job.SetVerbose(StrToInt(value)); }},
    {"target", ACTION { job.SetTarget(value); }},
    {"threads", ACTION { job.RefuseOption(name); }},
    {"vsync", ACTION { job.VideoSyncMethod = StrToInt(value); }},
    {"async", ACTION { job.AudioSyncMethod = StrToInt(value); }},
    {"adrift_threshold", ACTION { job.AudioDriftThreshold = Decimal(value); }},
    {"vglobal", ACTION { job.VideoGlobalHeader = StrToInt(value); }},
    {"copyts", ACTION { job.CopyTs = true; }},
    {"shortest", ACTION { job.Shortest = true; }},
    {"dts_delta_threshold", ACTION { job.DtsDeltaThreshold = Decimal(value); }},
    {"programid", ACTION { job.ProgramId = StrToInt(value); }},
    {"xerror", ACTION { job.ExitOnError = true; }},
    {"b", BitRate},
    {"vb", BitRate},
    {"vframes", ACTION { job.MaxFrames[AVMEDIA_TYPE_VIDEO] = StrToInt(value); }},
    {"r", ACTION { job.SetFrameRate(value); }},
    {"s", ACTION { job.SetFrameSize(value); }},
    {"aspect", ACTION { job.SetAspect(value); }},
    {"pix_fmt", ACTION { job.SetPixFmt(value); }},
    {"croptop", ACTION { job.SetCropTop(StrToInt(value)); }},
    {"cropbottom", ACTION { job.SetCropBottom(StrToInt(value)); }},
    {"cropleft", ACTION { job.SetCropLeft(StrToInt(value)); }},
    {"cropright", ACTION { job.SetCropRight(StrToInt(value)); }},
    {"padtop", ACTION { job.SetPadTop(StrToInt(value)); }},
    {"padbottom", ACTION { job.SetPadBottom(StrToInt(value)); }},
    {"padleft", ACTION { job.SetPadLeft(StrToInt(value)); }},
    {"padright", ACTION { job.SetPadRight(StrToInt(value)); }},
    {"padcolor", ACTION { job.SetPadColor(StrToInt(value)); }},
    {"intra", ACTION { job.IntraOnly = true; }},
    {"vn", ACTION { job.VideoDisable = true; }},
    {"vdt", ACTION { job.VideoDiscard = StrToInt(value); }},
    {"qscale", ACTION { job.SetQScale(value); }},
    {"rc_override", ACTION { job.RcOverride = value; }},
    {"vcodec", ACTION { job.SetVideoCodec(value); }},
    {"me_threshold", ACTION { job.MeThreshold = StrToInt(value); }},
    {"sameq", ACTION { job.SameQuality = true; }},
    {"pass", ACTION { job.SetPass(StrToInt(value)); }},
    {"passlogfile", ACTION { job.PassLogFileName = value; }},
    {"deinterlace", ACTION { job.DoDeinterlace = true; }},
    {"psnr", ACTION { job.DoPsnr = true; }},
    {"vstats", ACTION { job.SetVstats(); }},
    {"vstats_file", ACTION { job.SetVstatsFile(value); }},
    {"vhook", ACTION { job.AddVideoHook(value); }},
    {"vfilters", ACTION { if (!value.empty()) job.VideoFilters = value; }},
    {"intra_matrix", ACTION { job.SetIntraMatrix(value); }},
    {"inter_matrix", ACTION { job.SetInterMatrix(value); }},
    {"top", ACTION { job.TopFieldFirst = StrToInt(value); }},
    {"dc", ACTION { job.IntraDcPrecision = StrToInt(value); }},
    {"vtag", ACTION { job.SetVideoTag(value); }},
    {"newvideo", ACTION { job.AddVideoStreamToLastOutput(); }},
    {"qphist", ACTION { job.QpHistogram = true; }},
    {"ab", BitRate},
    {"aframes", ACTION { job.MaxFrames[AVMEDIA_TYPE_AUDIO] = StrToInt(value); }},
    {"aq", ACTION { job.AudioQScale = Decimal(value); }},
    {"ar", ACTION { SetIfPositive(job.AudioSampleRate, StrToInt(value)); }},
    {"ac", ACTION { SetIfPositive(job.AudioChannels, StrToInt(value)); }},
    {"an", ACTION { job.AudioDisable = true; }},
    {"acodec", ACTION { job.SetAudioCodec(value); }},
    {"atag", ACTION { job.SetAudioTag(value); }},
    {"vol", ACTION { job.AudioVolume = StrToInt(value); }},
    {"newaudio", ACTION { job.AddAudioStreamToLastOutput(); }},
    {"alang", ACTION { job.AudioLanguage = value; }},
    {"sample_fmt", ACTION { job.SetSampleFmt(value); }},
    {"sn", ACTION { job.SubtitleDisable = true; }},
    {"scodec", ACTION { job.SetSubtitleCodec(value); }},
    {"newsubtitle", ACTION { job.AddSubtitleStreamToLastOutput(); }},
    {"slang", ACTION { job.SubtitleLanguage = value; }},
    {"vc", ACTION { job.VideoChannel = StrToInt(value); }},
    {"tvstd", ACTION { job.VideoStandard = value; }},
    {"isync", ACTION { job.InputSync = true; }},
    {"muxdelay", ACTION { job.MuxMaxDelay = Decimal(value); }},
    {"muxpreload", ACTION { job.MuxPreload = Decimal(value); }},
    {"absf", BitstreamFilter},
    {"vbsf", BitstreamFilter},
    {"sbsf", BitstreamFilter},
    {"apre", Ignore},
    {"vpre", Ignore},
    {"spre", Ignore},
};
#undef ACTION

} // namespace

void TCustomFFmpeg::ApplyOptionText(const std::string& text) {
    std::string rest = platform::Trim(text);
    // One line end for all: CR LF and a lone CR become LF.
    std::string normalised;
    normalised.reserve(rest.size());
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '\r') {
            normalised += '\n';
            if (i + 1 < rest.size() && rest[i + 1] == '\n') ++i;
        } else {
            normalised += rest[i];
        }
    }
    size_t start = 0;
    while (start < normalised.size()) {
        size_t end = normalised.find('\n', start);
        if (end == std::string::npos) end = normalised.size();
        const std::string line = normalised.substr(start, end - start);
        start = end + 1;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) DispatchOption(line, "");
        else DispatchOption(line.substr(0, equals), line.substr(equals + 1));
    }
}

void TCustomFFmpeg::DispatchOption(const std::string& name, const std::string& value) {
    for (const TOptionEntry& entry : OptionTable) {
        if (name == entry.name) {
            entry.action(*this, name, value);
            return;
        }
    }
    SetGenericOption(name, value);
}

void TCustomFFmpeg::IgnoreOption(const std::string& name) {
    Log(1, "Do nothing: option - " + name);
}

void TCustomFFmpeg::RefuseOption(const std::string& name) {
    throw platform::FFMpegException("TODO: option - " + name);
}

} // namespace tarnwick::engine
