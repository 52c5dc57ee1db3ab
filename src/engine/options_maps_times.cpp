// Stream and metadata maps, times and dates, timestamp scales and the metadata texts.

#include "engine/custom_ffmpeg.h"

#include "binding/media_libraries.h"
#include "platform/convert.h"
#include "platform/ffmpeg_exception.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace tarnwick::engine {

using binding::AV;
using platform::FFMpegException;

namespace {

// Reads numbers the C way (base from the prefix); after each number one character, whatever
// it is, is the separator.
class TNumberReader {
public:
    explicit TNumberReader(const std::string& text) : position_(text.c_str()) {}
    bool AtEnd() const { return *position_ == '\0'; }
    int32_t NextInt() {
        char* end = nullptr;
        const long value = std::strtol(position_, &end, 0);
        position_ = end;
        SkipSeparator();
        return static_cast<int32_t>(value);
    }
    double NextDouble() {
        char* end = nullptr;
        const double value = platform::CStrToD(position_, &end);
        position_ = end;
        SkipSeparator();
        return value;
    }

private:
    void SkipSeparator() {
        if (*position_ != '\0') ++position_;
    }
    const char* position_;
};

// Microseconds of a duration or a date, or the option's error.
int64_t ParseTime(const std::string& name, const std::string& value, bool duration) {
    int64_t microseconds = NoTimestamp;
    if (AV.av_parse_time(&microseconds, value.c_str(), duration ? 1 : 0) < 0 ||
        microseconds == NoTimestamp)
        throw FFMpegException("Invalid " + std::string(duration ? "duration" : "date") +
                              " specification for " + name + ": " + value);
    return microseconds;
}

void SetIfNotEmpty(std::string& field, const std::string& value) {
    if (!value.empty()) field = value;
}

} // namespace

void TCustomFFmpeg::SetStreamMap(const std::string& value) {
    TNumberReader reader(value);
    TStreamMap map;
    map.FileIndex = reader.NextInt();
    map.StreamIndex = reader.NextInt();
    if (!reader.AtEnd()) {
        map.SyncFileIndex = reader.NextInt();
        map.SyncStreamIndex = reader.NextInt();
    } else {
        map.SyncFileIndex = map.FileIndex;
        map.SyncStreamIndex = map.StreamIndex;
    }
    AddStreamMap(map);
}

void TCustomFFmpeg::SetMetaDataMap(const std::string& value) {
    TNumberReader reader(value);
    TMetaDataMap map;
    map.OutFile = reader.NextInt();
    map.InFile = reader.NextInt();
    AddMetaDataMap(map);
}

void TCustomFFmpeg::SetRecordingTime(const std::string& name, const std::string& value) {
    const int64_t ms = ParseTime(name, value, true) / 1000;
    // A duration past the millisecond range means no limit at all.
    SetRecordingTimeMs(static_cast<int32_t>(std::min<int64_t>(ms, INT32_MAX)));
}

void TCustomFFmpeg::SetRecordingTimeMs(int32_t ms) {
    if (ms <= 0) return;
    RecordingTime = static_cast<int64_t>(ms) * 1000;
    TotalOutputDurationMs = ms;
}

void TCustomFFmpeg::SetStartTime(const std::string& name, const std::string& value) {
    StartTime = ParseTime(name, value, true);
}

void TCustomFFmpeg::SetStartTimeUs(int64_t us) {
    if (us > 0) StartTime = us;
}

void TCustomFFmpeg::SetInputTsOffset(const std::string& name, const std::string& value) {
    InputTsOffsetOption = ParseTime(name, value, true);
}

void TCustomFFmpeg::SetRecTimestamp(const std::string& name, const std::string& value) {
    RecTimestamp = static_cast<int64_t>(std::nearbyint(ParseTime(name, value, false) / 1000000.0));
}

void TCustomFFmpeg::SetInputTsScale(const std::string& value) {
    TNumberReader reader(value);
    const int32_t stream = reader.NextInt();
    const double scale = reader.NextDouble();
    if (stream < 0 || stream >= MaxStreamsPerFile)
        throw FFMpegException("stream index over MAX_STREAMS(" +
                              std::to_string(MaxStreamsPerFile) + ")");
    // The scale is for the next input file; with the table full there is none.
    if (InputFileCount >= MaxFiles)
        throw FFMpegException("Too many input files: the input file table holds 20");
    InputTsScale[InputFileCount][stream] = scale;
}

void TCustomFFmpeg::SetTitle(const std::string& value) { SetIfNotEmpty(Title, value); }
void TCustomFFmpeg::SetAuthor(const std::string& value) { SetIfNotEmpty(Author, value); }
void TCustomFFmpeg::SetCopyright(const std::string& value) { SetIfNotEmpty(Copyright, value); }
void TCustomFFmpeg::SetComment(const std::string& value) { SetIfNotEmpty(Comment, value); }
void TCustomFFmpeg::SetGenre(const std::string& value) { SetIfNotEmpty(Genre, value); }
void TCustomFFmpeg::SetAlbum(const std::string& value) { SetIfNotEmpty(Album, value); }

} // namespace tarnwick::engine
