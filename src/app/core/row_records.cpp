#include "app/core/row_records.h"

namespace tarnwick::app {

TRowRecords MakeRowRecords(const TlvFilesRecord& row, int presetIndex,
                           const std::string& destination, const std::string& forcedFormat,
                           const TSourceFacts& source, const platform::IniStore& settings,
                           const platform::IniStore& presets) {
    TRowRecords records;
    component::TInputOptions& input = records.Input;
    component::TOutputOptions& output = records.Output;
    input.FileName = row.SourceFile;
    input.ForceFormat = forcedFormat;
    if (row.TrimStart >= 0) input.StartTime = row.TrimStart;
    output.FileName = destination;
    if (row.CropTop > 0 || row.CropBottom > 0 || row.CropLeft > 0 || row.CropRight > 0) {
        output.CropTop = row.CropTop;
        output.CropBottom = row.CropBottom;
        output.CropLeft = row.CropLeft;
        output.CropRight = row.CropRight;
    }
    if (row.TrimLength > 0) output.RecordingTime = row.TrimLength;
    ApplyPreset(settings, presets, row.ZoomMode, presetIndex, output, source, input);
    return records;
}

} // namespace tarnwick::app
