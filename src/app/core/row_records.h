#pragma once
// The two option records of one checked row of a run.

#include "app/core/apply_preset.h"
#include "app/core/task_row.h"
#include "component/option_records.h"
#include "platform/ini_store.h"

#include <string>

namespace tarnwick::app {

struct TRowRecords {
    component::TInputOptions Input;
    component::TOutputOptions Output;
};

// The input record names the source (and the format the probe was forced to) and starts at
// the row's trim start; the output record writes the destination, takes the row's crop bands
// when any is set and its trim length as recording time, then the preset (ApplyPreset).
// Raises platform::EConvertError from ApplyPreset.
TRowRecords MakeRowRecords(const TlvFilesRecord& row, int presetIndex,
                           const std::string& destination, const std::string& forcedFormat,
                           const TSourceFacts& source, const platform::IniStore& settings,
                           const platform::IniStore& presets);

} // namespace tarnwick::app
