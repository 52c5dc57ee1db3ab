#pragma once
// The two option records the application fills for a conversion: one for the input of a job,
// one for its output. The component keeps a copy of each in the job and applies it before the
// file is opened. Every field has a cleared value that means "leave the job's own setting".

#include <array>
#include <cstdint>
#include <string>

namespace tarnwick::component {

struct TInputOptions {
    std::string FileName;    // empty: the file name given to AddJob
    std::string ForceFormat; // input format name to force
    int32_t StartTime = -1;  // ms
    int32_t ProgramId = -1;  // program to keep
    std::string ExtOptions;  // option text for the input
};

// Fixed-size metadata texts, NUL-terminated; only the part before the first NUL counts.
using TMetadataText = std::array<char, 512>;
using TGenreText = std::array<char, 32>;

struct TOutputOptions {
    std::string FileName; // empty: the file name given to SetJobOutput
    std::string Reserved; // read by nobody
    std::string ForceFormat;
    int32_t PacketSize = -1;
    int32_t MuxRate = -1;
    float MuxDelay = -1.0f;   // s
    float MuxPreload = -1.0f; // s
    std::string AudioCodec;   // codec name or "copy"
    bool AudioDisable = false;
    int32_t AudioVolume = -1; // 256 = unchanged
    int32_t AudioChannels = -1;
    int32_t AudioSampleRate = -1; // Hz
    int32_t AudioBitrate = -1;    // bit/s
    int32_t AudioBitrateTolerance = -1;
    std::string AudioLanguage;
    int32_t AudioSync = 0;
    std::string AudioTag; // 4 characters
    std::string VideoCodec; // codec name or "copy"
    bool VideoDisable = false;
    std::string FrameRate;
    std::string FrameSize;
    std::string FrameAspect;
    int32_t CropTop = -1, CropBottom = -1, CropLeft = -1, CropRight = -1;
    int32_t PadTop = -1, PadBottom = -1, PadLeft = -1, PadRight = -1;
    int32_t PadColor = 0; // red in the lowest byte, then green, then blue; 0 is black
    int32_t Gop = -1;
    int32_t VideoBitrate = -1; // bit/s
    int32_t VideoMaxRate = -1, VideoMinRate = -1;
    int32_t VideoBitrateTolerance = -1;
    int32_t VideoBufSize = -1;
    int32_t VideoSync = -1;
    std::string VideoTag; // 4 characters
    std::string VideoFilters;
    // Deinterlace the pictures flagged interlaced with a motion-adaptive filter, one picture
    // out for each picture in; progressive pictures pass untouched.
    bool AdaptiveDeinterlace = false;
    bool SubtitleDisable = false;
    std::string SubtitleLanguage;
    bool CopyTs = false;
    int32_t RecordingTime = -1; // ms
    // Days since 30 Dec 1899 in local time; 0 means now, negative leaves the job's value.
    double Timestamp = -1.0;
    int32_t Year = -1, Track = -1;
    TMetadataText Title{}, Author{}, Copyright{}, Comment{}, Album{};
    TGenreText Genre{};
    int32_t Target = 0;            // 0 none, 1 VCD, 2 SVCD, 3 DVD
    int32_t TargetNorm = 0;        // 0 auto, 1 PAL, 2 NTSC; other values auto
    int32_t TargetDefaultNorm = 1; // 1 PAL, any other value NTSC
    bool CustomHook = false;
    bool BeforeHook = false;
    std::string HookRangesText; // "start-end" in ms, separated by ","
    std::string ExtOptions;     // option text for the output
};

// Sets every field to its cleared value.
void ClearInputOptions(TInputOptions& options);
void ClearOutputOptions(TOutputOptions& options);

// The text of a fixed-size record field: up to its first NUL, or the whole array.
template <std::size_t N> std::string RecordText(const std::array<char, N>& field) {
    std::size_t length = 0;
    while (length < N && field[length] != '\0') ++length;
    return std::string(field.data(), length);
}

// Stores a text in a fixed-size record field, cut to fit with room for the NUL.
template <std::size_t N> void SetRecordText(std::array<char, N>& field, const std::string& text) {
    field.fill('\0');
    text.copy(field.data(), N - 1);
}

} // namespace tarnwick::component
