#pragma once
// The trim editor's rules: what its three HH:MM:SS fields show, when a typed start or end is
// taken, and what "Ok" and "Reset" store in the row. Field texts are the six digits the masked
// edits hold ("010203" shows as 01:02:03).

#include "app/core/task_row.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::app {

// The editor's times in milliseconds while it is shown. Start and end always match what the
// fields show.
struct TTrimTimes {
    int64_t StartMs = 0;
    int64_t EndMs = 0;
    int64_t DurationMs = 0; // 0 when the file's duration is unknown: nothing can be trimmed
};

// What the window does after a field has been checked.
struct TTrimFieldCheck {
    // A "Warning" box to show first; empty when none.
    std::string Message;
    // Set when the field is put back to its default; the window then focuses it again.
    std::optional<std::string> FieldText;
    // The length field's new text, when it changes.
    std::optional<std::string> LengthText;
};

// The duration the editor works with: the probe's in ms, 0 when the library does not know it.
int64_t TrimDurationMs(int64_t durationUs);

// The fields and times when the editor is shown for a row: the stored trim, or the whole file.
struct TTrimFields {
    TTrimTimes Times;
    std::string Start, End, Length;
};
TTrimFields TrimFieldsForRow(const TlvFilesRecord& row, int64_t durationMs);

// The start field was left. A start is taken when it lies within the file, its minutes and
// seconds are below 60 and its whole second comes before the end's. Else the field goes back
// to "000000" with "Incorrect start time!", or with "The start time cannot equal to the end
// time!" when both are the same non-zero second (the same second with one of them zero is let
// pass unshown).
TTrimFieldCheck CheckTrimStart(std::string_view startDigits, TTrimTimes& times);

// The end field was left; the mirror of CheckTrimStart. A refused end goes back to the whole
// duration, with "Incorrect end time!" or "The end time cannot equal to the start time!!".
TTrimFieldCheck CheckTrimEnd(std::string_view endDigits, TTrimTimes& times);

// What "Ok" stores: the start, and the length unless it is under a second, leaves less than a
// second of the file out, or is the whole file (0 then converts to the end). An empty or
// inverted selection clears the trim. The "Trimmed Length" cell shows the selected whole
// seconds, or the row's duration when the trim was cleared.
struct TTrimStore {
    int32_t TrimStart = 0;
    int32_t TrimLength = 0;
    std::string TrimmedLengthText;
};
TTrimStore StoreTrim(const TTrimTimes& times, int32_t durationSec);

// "Reset" and "&Default": the whole file again, at once in the row as well.
TTrimFields ResetTrim(TlvFilesRecord& row, int64_t durationMs);
// The "Trimmed Length" cell of an untrimmed row.
std::string UntrimmedLengthText(const TlvFilesRecord& row);

// The masked edit's text ("01:02:03", blanks for unfilled places) as the six digits the rules
// read, and back.
std::string DigitsOfTimeField(std::string_view shown);
std::string TimeFieldOfDigits(std::string_view digits);

} // namespace tarnwick::app
