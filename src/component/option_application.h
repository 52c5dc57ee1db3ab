#pragma once
// Applies the option records to a job, before its input or output file is opened. The order
// of the steps matters: later steps overwrite what earlier ones set. Raises what the job's
// value handlers raise (FFMpegException, platform::EConvertError); steps before the failing
// one stay applied.

#include "component/option_records.h"
#include "engine/custom_ffmpeg.h"

#include <cstdint>
#include <string>

namespace tarnwick::component {

// The record's option text, then its forced format, start time and program.
void ApplyInputOptions(engine::TCustomFFmpeg& job, const TInputOptions& options);

// The record's fields (not its option text, which the caller applies first).
void ApplyOutputOptions(engine::TCustomFFmpeg& job, const TOutputOptions& options);

// Target 1, 2 or 3: the VCD, SVCD or DVD preset with the record's norm (0 and unknown values
// choose by frame rate) and default norm (1 PAL, else NTSC). Other targets do nothing.
void ApplyTargetOptions(engine::TCustomFFmpeg& job, const TOutputOptions& options);

// The frame-hook time ranges: "start-end" in ms, separated by ","; malformed and reversed
// ranges are dropped, the rest replace the job's ranges sorted by their ends.
void ParseHookRanges(engine::TCustomFFmpeg& job, const std::string& text);

// A local date and time in days since 30 Dec 1899 as Unix seconds, taking the local zone's
// standard offset (daylight saving not included) off.
int64_t LocalDaysToUnixSeconds(double days);

} // namespace tarnwick::component
