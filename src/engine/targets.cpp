// Target presets: everything a disc-compatible output needs, set in one step on the pending
// settings, after the input (whose frame rate picks the norm) and before the output.

#include "engine/custom_ffmpeg.h"

#include "platform/convert.h"
#include "platform/ffmpeg_exception.h"

#include <cmath>
#include <cstring>

namespace tarnwick::engine {

using platform::FFMpegException;

namespace {

enum TNorm { nmPal = 0, nmNtsc = 1, nmFilm = 2 };

// A frame rate in thousandths of a frame per second, halves to even.
long RateInThousandths(AVRational rate) {
    return std::lrint(std::nearbyint(static_cast<double>(rate.num) * 1000 / rate.den));
}

bool NormOfRate(AVRational rate, int& norm) {
    if (rate.num == 0 || rate.den == 0) return false;
    const long thousandths = RateInThousandths(rate);
    if (thousandths == 25000) {
        norm = nmPal;
        return true;
    }
    if (thousandths == 29970 || thousandths == 23976) {
        norm = nmNtsc;
        return true;
    }
    return false;
}

} // namespace

void TCustomFFmpeg::ApplyTarget(const std::string& type, const std::string& norm,
                                const std::string& defaultNorm) {
    int n;
    if (norm == "pal") {
        n = nmPal;
    } else if (norm == "ntsc") {
        n = nmNtsc;
    } else if (norm == "film") {
        n = nmFilm;
    } else {
        if (FrameRate.den == 0) throw FFMpegException("frame_rate is invalid.");
        bool found = NormOfRate(FrameRate, n);
        // Then the rate the video codecs of the inputs declare.
        for (int file = 0; file < InputFileCount && !found; ++file) {
            const AVFormatContext* input = InputFiles[file];
            for (unsigned i = 0; i < input->nb_streams && !found; ++i)
                if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
                    found = NormOfRate(input->streams[i]->avg_frame_rate, n);
        }
        if (!found) n = defaultNorm == "film" ? nmFilm : defaultNorm == "ntsc" ? nmNtsc : nmPal;
        if (Verbose > 0 && LogHandler) LogFormat(1, "Assuming %s for target.", n == nmPal ? "PAL" : "NTSC");
    }
    const bool ntscSize = n != nmPal;
    static const char* const frameRates[] = {"25", "30000/1001", "24000/1001"};
    const char* const gop = ntscSize ? "18" : "15";
    auto defaultAspect = [this](const char* aspect) {
        if (FrameAspectRatio != 0) return;
        if (LogHandler) LogFormat(1, "Assuming %s for aspect ratio", aspect);
        SetAspect(aspect);
    };

    if (type == "vcd") {
        SetVideoCodec("mpeg1video");
        SetAudioCodec("mp2");
        SetOutputFormat("vcd");
        SetFrameSize(ntscSize ? "352x240" : "352x288");
        SetFrameRate(frameRates[n]);
        SetGenericOption("gop", gop);
        SetGenericOption("b", "1150000");
        SetGenericOption("maxrate", "1150000");
        SetGenericOption("minrate", "1150000");
        SetGenericOption("bufsize", "327680");
        SetGenericOption("ab", "224000");
        AudioSampleRate = 44100;
        AudioChannels = 2;
        SetGenericOption("packetsize", "2324");
        SetGenericOption("muxrate", "1411200");
        // The standard's initial decoder delay.
        MuxPreload = 0.44f;
        defaultAspect("4:3");
    } else if (type == "svcd") {
        SetVideoCodec("mpeg2video");
        SetAudioCodec("mp2");
        SetOutputFormat("svcd");
        SetFrameSize(ntscSize ? "480x480" : "480x576");
        SetFrameRate(frameRates[n]);
        SetGenericOption("gop", gop);
        SetGenericOption("b", "2040000");
        SetGenericOption("maxrate", "2516000");
        SetGenericOption("minrate", "0");
        SetGenericOption("bufsize", "1835008");
        SetGenericOption("flags", "+scan_offset");
        SetGenericOption("ab", "224000");
        AudioSampleRate = 44100;
        SetGenericOption("packetsize", "2324");
        if (AudioChannels == 1) AudioChannels = 2;
        defaultAspect("4:3");
    } else if (type == "dvd") {
        SetVideoCodec("mpeg2video");
        SetAudioCodec("ac3");
        SetOutputFormat("dvd");
        SetFrameSize(ntscSize ? "720x480" : "720x576");
        SetFrameRate(frameRates[n]);
        SetGenericOption("gop", gop);
        SetGenericOption("b", "6000000");
        SetGenericOption("maxrate", "9000000");
        SetGenericOption("minrate", "0");
        SetGenericOption("bufsize", "1835008");
        SetGenericOption("packetsize", "2048");
        SetGenericOption("muxrate", "10080000");
        SetGenericOption("ab", "448000");
        AudioSampleRate = 48000;
        if (AudioChannels == 1) AudioChannels = 2;
        defaultAspect("16:9");
    } else if (type == "dv" || type == "dv50") {
        SetOutputFormat("dv");
        SetFrameSize(ntscSize ? "720x480" : "720x576");
        SetPixFmt(type == "dv50" ? "yuv422p" : ntscSize ? "yuv411p" : "yuv420p");
        SetFrameRate(frameRates[n]);
        AudioSampleRate = 48000;
        AudioChannels = 2;
    } else {
        throw FFMpegException("Unknown target type");
    }
}

void TCustomFFmpeg::SetTarget(const std::string& value) {
    const std::string target = platform::Trim(value);
    std::string type = target;
    std::string norm = "auto";
    for (const char* prefix : {"pal-", "ntsc-", "film-"}) {
        if (target.starts_with(prefix)) {
            norm = std::string(prefix, std::strlen(prefix) - 1);
            type = target.substr(std::strlen(prefix));
            break;
        }
    }
    ApplyTarget(type, norm, "ntsc");
}

} // namespace tarnwick::engine
