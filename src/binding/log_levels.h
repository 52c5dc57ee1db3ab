#pragma once
// The engine's log scale is -1 quiet, 0 error, 1 info, 2 debug, 3 all; the libraries use
// AV_LOG_QUIET ... AV_LOG_TRACE. Conversions happen at the boundary, both ways.

namespace tarnwick::binding {

// Engine level to library level: -1 or less quiet, 0 error, 1 info, 2 debug, 3 or more trace.
int EngineToLibraryLogLevel(int engineLevel);
// Library level to engine level: quiet -1; panic, fatal, error 0; warning, info 1;
// verbose, debug 2; trace 3.
int LibraryToEngineLogLevel(int libraryLevel);

// The libraries' level (library scale) that the log routing filters against. Set after a
// complete load and whenever a job or the component changes the level.
int DefaultLogLevel();
void SetDefaultLogLevel(int libraryLevel);

} // namespace tarnwick::binding
