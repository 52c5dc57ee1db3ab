#pragma once
// Turning a preset into a job's option records: the user's choices for the preset (settings
// file), its container (presets file), the row's picture fit and crop, and the source's
// picture size.

#include "component/option_records.h"
#include "platform/ini_store.h"

#include <cstdint>
#include <string>

namespace tarnwick::app {

// What the run knows of the source when it applies a preset.
struct TSourceFacts {
    int Width = 0;          // size of the source's first decoded picture; 0 without one
    int Height = 0;
    int32_t VideoBitRate = 0; // bit/s of the first video stream, 0 when unknown
    bool Interlaced = false;  // the first video stream's pictures are interlaced
};

// Fills the records for one row. `output` already holds the destination, the row's crop bands
// and recording time, `input` the source name and start time. A preset whose settings have no
// video encoder is audio only: it sets the audio fields and "vn=1" on the input and nothing
// else. Otherwise it sets the video codec (and for H.264 the encoder parameters), bit rate,
// frame rate, forced container, the frame size and bands of the letter-box fit (zoom mode
// "lbox"), deinterlacing for an interlaced source, the audio fields and a black pad colour.
// Raises platform::EConvertError when a value of the preset's settings does not parse.
void ApplyPreset(const platform::IniStore& settings, const platform::IniStore& presets,
                 const std::string& zoomMode, int presetIndex, component::TOutputOptions& output,
                 const TSourceFacts& source, component::TInputOptions& input);

} // namespace tarnwick::app
