#!/usr/bin/env bash
# Builds a ThreadSanitizer tree (build-tsan) and runs the suites that exercise worker threads,
# events and the library log routing there. Exits non-zero on any race report or failure.
# The media libraries are not instrumented: races inside them are not seen, their locks are.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-$(nproc)}

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNWICK_SANITIZE=thread -DTARNWICK_BUILD_UI=OFF
cmake --build build-tsan -j "$jobs"
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" \
    ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L component
