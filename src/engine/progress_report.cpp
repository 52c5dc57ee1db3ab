// How far a run is: the console-style status line, the progress handler's figures, the summary
// of the bytes written, and the per-frame video statistics file.
#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/ffmpeg_exception.h"

#include <cmath>
#include <cstdarg>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

double Psnr(double error) { return -10.0 * std::log(error) / std::log(10.0); }

float Quantiser(const TOutputStreamRecord& ost) {
    if (!ost.EncodingNeeded) return -1;
    return static_cast<float>(ost.CodedFrame.Quality) / FF_QP2LAMBDA;
}

// The status line: pieces appended into one fixed buffer, cut at its end.
class TStatusLine {
public:
    void Append(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        if (length_ >= sizeof text_ - 1) return;
        va_list args;
        va_start(args, format);
        const int written = std::vsnprintf(text_ + length_, sizeof text_ - length_, format, args);
        va_end(args);
        if (written > 0) length_ = std::min(sizeof text_ - 1, length_ + static_cast<size_t>(written));
    }
    const char* Text() const { return text_; }

private:
    char text_[1024] = {};
    size_t length_ = 0;
};

int64_t OutputSize(AVFormatContext* output) {
    AVIOContext* io = output->pb;
    if (!io) return 0;
    const int64_t size = AV.avio_size(io);
    return size >= 0 ? size : AV.avio_seek(io, 0, SEEK_CUR);
}

} // namespace

void TCustomFFmpeg::ProgressReport(TTranscodeTables& run, bool final) {
    const int64_t totalSize = OutputSize(run.OutputFiles[0]);
    TStatusLine line;
    int32_t frameNumber = -1;
    int32_t fps = -1;
    float q = -1.0f;
    double outputTime = 1e10;
    bool videoSeen = false;
    for (const TOutputStreamRecord& ost : run.OutputStreams) {
        const AVCodecContext* encoder = ost.Encoder;
        if (encoder->codec_type == AVMEDIA_TYPE_VIDEO && videoSeen) {
            line.Append("q=%2.1f ", Quantiser(ost));
        } else if (encoder->codec_type == AVMEDIA_TYPE_VIDEO) {
            videoSeen = true;
            const float elapsed = static_cast<float>(AV.av_gettime() - TimerStart) / 1000000.0f;
            frameNumber = ost.FrameNumber;
            if (frameNumber < 1) return;
            fps = elapsed > 1 ? static_cast<int32_t>(frameNumber / elapsed + 0.5f) : 0;
            q = Quantiser(ost);
            line.Append("frame=%5d fps=%3d q=%3.1f ", frameNumber, fps, q);
            if (final) line.Append("L");
            if (QpHistogram) {
                const int qp = static_cast<int>(std::lrint(q));
                if (qp >= 0 && qp < static_cast<int>(QpHistogramCounts.size()))
                    QpHistogramCounts[qp] += 1;
                for (int j = 0; j < 32; ++j)
                    line.Append("%X", static_cast<int>(std::lrint(std::log2(QpHistogramCounts[j] + 1))));
            }
            if (encoder->flags & AV_CODEC_FLAG_PSNR) {
                double errorSum = 0;
                double scaleSum = 0;
                line.Append("PSNR=");
                for (int j = 0; j < 3; ++j) {
                    double error = static_cast<double>(final ? encoder->error[j] : ost.CodedFrame.Error[j]);
                    double scale = static_cast<double>(encoder->width) * encoder->height * 255.0 * 255.0;
                    if (final) scale *= frameNumber;
                    if (j) scale /= 4;
                    errorSum += error;
                    scaleSum += scale;
                    line.Append("%c:%2.2f ", "YUV"[j], Psnr(error / scale));
                }
                line.Append("*:%2.2f ", Psnr(errorSum / scaleSum));
            }
        }
        if (ost.LastPts != AV_NOPTS_VALUE) {
            const double pts = static_cast<double>(ost.LastPts) * av_q2d(ost.Stream->time_base);
            if (pts > 0 && pts < outputTime) outputTime = pts;
        }
    }
    // Until some stream has a positive timestamp the time is unknown; the handler gets 0 then.
    const bool timeKnown = outputTime < 1e10;
    if (outputTime < 0.01) outputTime = 0.01;

    if (ProgressHandler || Verbose > 0 || final) {
        const double bitRate = static_cast<double>(totalSize) * 8 / outputTime / 1000;
        line.Append("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s",
                    static_cast<double>(totalSize) / 1024, outputTime, bitRate);
        if (Verbose > 1) line.Append(" dup=%d drop=%d", FramesDuplicated, FramesDropped);
        if (ProgressHandler) {
            const auto durationMs = timeKnown ? static_cast<int32_t>(outputTime * 1000) : 0;
            ProgressHandler(*this, frameNumber, fps, durationMs, q, static_cast<float>(bitRate),
                            totalSize, TotalOutputDurationMs);
        } else if (Verbose >= 0 && LogHandler) {
            Log(1, line.Text());
        }
    }

    if (final && Verbose >= 0 && LogHandler) {
        const double raw = static_cast<double>(VideoBytes + AudioBytes + GlobalHeaderBytes);
        // Nothing written: no overhead to speak of.
        const double overhead = raw > 0 ? 100.0 * (static_cast<double>(totalSize) - raw) / raw : 0;
        LogFormat(1, "video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                  static_cast<double>(VideoBytes) / 1024, static_cast<double>(AudioBytes) / 1024,
                  static_cast<double>(GlobalHeaderBytes) / 1024, overhead);
    }
}

void TCustomFFmpeg::WriteFrameStatistics(AVFormatContext*, TOutputStreamRecord& ost, int frameSize) {
    if (!VstatsFile) {
        VstatsFile = std::fopen(VstatsFileName.c_str(), "w");
        if (!VstatsFile) throw FFMpegException("fopen fail: " + VstatsFileName);
    }
    const AVCodecContext* encoder = ost.Encoder;
    if (encoder->codec_type != AVMEDIA_TYPE_VIDEO) return;
    std::fprintf(VstatsFile, "frame= %5d q= %2.1f ", ost.FrameNumber, Quantiser(ost));
    if (encoder->flags & AV_CODEC_FLAG_PSNR)
        std::fprintf(VstatsFile, "PSNR= %6.2f ",
                     Psnr(static_cast<double>(ost.CodedFrame.Error[0]) /
                          (static_cast<double>(encoder->width) * encoder->height * 255.0 * 255.0)));
    std::fprintf(VstatsFile, "f_size= %6d ", frameSize);
    const double timeBase = av_q2d(encoder->time_base);
    double time = static_cast<double>(ost.SyncOpts) * timeBase;
    if (time < 0.01) time = 0.01;
    const double bitRate = frameSize * 8 / timeBase / 1000;
    const double averageBitRate = static_cast<double>(VideoBytes) * 8 / time / 1000;
    std::fprintf(VstatsFile, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
                 static_cast<double>(VideoBytes) / 1024, time, bitRate, averageBitRate);
    std::fprintf(VstatsFile, "type= %c\n",
                 AV.av_get_picture_type_char(static_cast<AVPictureType>(ost.CodedFrame.PictType)));
}

} // namespace tarnwick::engine
