#include "app/core/trim_rules.h"

#include "app/core/time_text.h"

#include <algorithm>
#include <limits>

namespace tarnwick::app {
namespace {

constexpr const char* ZeroField = "000000";

std::string FieldOfMs(int64_t ms) { return FormatHHMMSS(ms * 1000); }

// The length field once start and end are known: shown only while they make a selection
// within the file.
std::optional<std::string> LengthField(const TTrimTimes& times) {
    if (times.StartMs > times.DurationMs || times.EndMs > times.DurationMs ||
        times.EndMs < times.StartMs)
        return std::nullopt;
    return FieldOfMs(times.EndMs - times.StartMs);
}

struct ParsedField {
    int64_t Ms = 0;
    bool Readable = false; // minutes and seconds below 60
};

ParsedField ParseField(std::string_view digits) {
    const THHMMSS parsed = ParseHHMMSS(digits);
    return {parsed.Ms, parsed.Minutes < 60 && parsed.Seconds < 60};
}

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

} // namespace

int64_t TrimDurationMs(int64_t durationUs) { return std::max<int64_t>(durationUs, 0) / 1000; }

TTrimFields TrimFieldsForRow(const TlvFilesRecord& row, int64_t durationMs) {
    TTrimFields fields;
    fields.Times.DurationMs = durationMs;
    if (row.TrimStart > 0) {
        fields.Times.StartMs = row.TrimStart;
        fields.Start = FieldOfMs(row.TrimStart);
    } else {
        fields.Start = ZeroField;
    }
    if (row.TrimLength > 0) {
        fields.Times.EndMs = int64_t{row.TrimStart} + row.TrimLength;
        fields.End = FieldOfMs(fields.Times.EndMs);
        fields.Length = FieldOfMs(row.TrimLength);
    } else {
        fields.Times.EndMs = durationMs;
        fields.End = fields.Length = FieldOfMs(durationMs);
    }
    return fields;
}

TTrimFieldCheck CheckTrimStart(std::string_view startDigits, TTrimTimes& times) {
    const ParsedField start = ParseField(startDigits);
    times.StartMs = start.Ms;
    TTrimFieldCheck check;
    const bool sameSecond = times.StartMs / 1000 == times.EndMs / 1000;
    if (times.StartMs <= times.DurationMs && start.Readable &&
        times.StartMs / 1000 < times.EndMs / 1000) {
        check.LengthText = LengthField(times);
        return check;
    }
    if (!sameSecond)
        check.Message = "Incorrect start time!";
    else if (times.StartMs != 0 && times.EndMs != 0)
        check.Message = "The start time cannot equal to the end time!";
    else
        return check;
    // The refused value goes with the field, so "Ok" never stores what the field no longer
    // shows.
    times.StartMs = 0;
    check.FieldText = ZeroField;
    check.LengthText = LengthField(times);
    return check;
}

TTrimFieldCheck CheckTrimEnd(std::string_view endDigits, TTrimTimes& times) {
    const ParsedField end = ParseField(endDigits);
    times.EndMs = end.Ms;
    TTrimFieldCheck check;
    const bool sameSecond = times.StartMs / 1000 == times.EndMs / 1000;
    if (times.EndMs <= times.DurationMs && end.Readable &&
        times.StartMs / 1000 < times.EndMs / 1000) {
        check.LengthText = LengthField(times);
        return check;
    }
    if (!sameSecond)
        check.Message = "Incorrect end time!";
    else if (times.StartMs != 0 && times.EndMs != 0)
        check.Message = "The end time cannot equal to the start time!!";
    else
        return check;
    times.EndMs = times.DurationMs;
    check.FieldText = FieldOfMs(times.DurationMs);
    check.LengthText = LengthField(times);
    return check;
}

TTrimStore StoreTrim(const TTrimTimes& times, int32_t durationSec) {
    const int64_t length = times.StartMs >= 0 && times.EndMs > 0 && times.StartMs < times.EndMs &&
                                   times.EndMs <= times.DurationMs
                               ? times.EndMs - times.StartMs
                               : 0;
    TTrimStore store;
    if (length <= 0) {
        store.TrimmedLengthText = std::to_string(durationSec);
        return store;
    }
    store.TrimStart = ClampToInt32(times.StartMs);
    const bool toTheEnd =
        length < 1000 || times.DurationMs - length < 1000 || length == times.DurationMs;
    store.TrimLength = toTheEnd ? 0 : ClampToInt32(length);
    store.TrimmedLengthText = std::to_string(length / 1000);
    return store;
}

TTrimFields ResetTrim(TlvFilesRecord& row, int64_t durationMs) {
    row.TrimStart = 0;
    row.TrimLength = 0;
    return TrimFieldsForRow(row, durationMs);
}

std::string UntrimmedLengthText(const TlvFilesRecord& row) {
    return std::to_string(row.DurationSec);
}

std::string DigitsOfTimeField(std::string_view shown) {
    std::string digits;
    for (char c : shown)
        if (c != ':') digits += c;
    return digits;
}

std::string TimeFieldOfDigits(std::string_view digits) {
    std::string shown(digits);
    if (shown.size() < 6) shown.insert(0, 6 - shown.size(), '0');
    shown.insert(shown.size() - 2, 1, ':');
    shown.insert(shown.size() - 5, 1, ':');
    return shown;
}

} // namespace tarnwick::app
