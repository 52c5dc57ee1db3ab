#include "engine/open_errors.h"

#include "binding/media_functions.h"

#include <cerrno>

namespace tarnwick::engine {
namespace {

// This library generation reports POSIX codes and its own tags; they map onto the messages by
// meaning. -42 is the older generation's "unknown format" code, still produced by callers.
const char* MessageFor(int code) {
    switch (code) {
    case AVERROR(EILSEQ):
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_MUXER_NOT_FOUND:
    case -42:
        return ": Unknown format";
    case AVERROR(EDOM):
        return ": Incorrect image filename syntax.\r\n"
               "Use '%d' to specify the image number:\r\n"
               "  for img1.jpg, img2.jpg, ..., use 'img%d.jpg';\r\n"
               "  for img001.jpg, img002.jpg, ..., use 'img%03d.jpg'.";
    case AVERROR(EINVAL):
    case AVERROR_INVALIDDATA:
        return ": Error while parsing header";
    case AVERROR(ENOMEM):
        return ": memory allocation error occurred";
    case AVERROR(EIO):
    case AVERROR_EOF:
        return ": I/O error occurred\r\nUsually that means that input file is truncated and/or "
               "corrupted.";
    case AVERROR(ENOENT):
        return ": no such file or directory";
    default:
        return ": Error while opening file";
    }
}

} // namespace

int InputOpenFailure(const std::string& fileName, const AVInputFormat* forcedFormat, int code) {
    if (code != AVERROR_INVALIDDATA || forcedFormat) return code;
    AVIOContext* input = nullptr;
    if (binding::AV.avio_open2(&input, fileName.c_str(), AVIO_FLAG_READ, nullptr, nullptr) < 0)
        return code;
    const AVInputFormat* format = nullptr;
    const int score =
        binding::AV.av_probe_input_buffer2(input, &format, fileName.c_str(), nullptr, 0, 0);
    binding::AV.avio_closep(&input);
    // At the end of the data the library takes any score; the lowest ones come from the
    // extension alone, and it warns of a misdetection up to the retry score.
    return !format || score <= AVPROBE_SCORE_RETRY ? AVERROR_DEMUXER_NOT_FOUND : code;
}

std::string OpenErrorText(const std::string& fileName, int code) {
    return fileName + MessageFor(code);
}

} // namespace tarnwick::engine
