#pragma once
// The component's public vocabulary: the log level scale and the five event types. No event
// carries a sender; the job is named by its index in the component's list.

#include "engine/engine_types.h"
#include "platform/bitmap24.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tarnwick::component {

using engine::THookAction;
using engine::haContinue;
using engine::haIgnore;
using engine::haStop;

enum TLogLevel : int32_t { llQuiet, llError, llInfo, llDebug, llAll };

// Engine levels (-1 ends a run, 0 error ... 3 all) to the component's scale: below 0 llQuiet,
// 0 to 3 one step up, above 3 llAll.
TLogLevel LogLevelOfEngineLevel(int engineLevel);
// The engine level a component at this log level runs its jobs with (ord(level) - 1).
inline int EngineLevelOfLogLevel(TLogLevel level) { return static_cast<int>(level) - 1; }

using TBeforeHookEvent = std::function<void(int32_t AIndex, int64_t APTS, THookAction& AHookAction)>;
using TCustomHookEvent =
    std::function<void(int32_t AIndex, platform::Bitmap24& ABitmap, int32_t AFrameNumber,
                       int64_t APTS, bool& AUpdate, bool& AStopHook)>;
using TLogEvent = std::function<void(int32_t AIndex, TLogLevel ALogLevel, const std::string& AMsg)>;
using TProgressEvent = std::function<void(int32_t AIndex, int32_t AFrameNumber, int32_t AFPS,
                                          int32_t ACurrentDuration, float AQuality, float ABitRate,
                                          int64_t ACurrentSize, int32_t ATotalOutputDuration)>;
using TTerminateEvent =
    std::function<void(int32_t AIndex, bool AFinished, bool AException, const std::string& AMessage)>;

} // namespace tarnwick::component
