#pragma once
// The command line's four modes over the application core, the component and the probe.

#include "cli/cli_request.h"

#include <atomic>

namespace tarnwick::cli {

// Exit codes: 0 every file done and checked, 1 any failure, 2 usage error, 130 interrupted.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitInterrupted = 130;

// Runs the request to its end. `interrupted` is set from a signal handler; a conversion then
// stops every job (their outputs still get their trailers) and returns ExitInterrupted.
int RunRequest(const CliRequest& request, const std::atomic<bool>& interrupted);

} // namespace tarnwick::cli
