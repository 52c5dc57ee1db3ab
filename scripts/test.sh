#!/usr/bin/env bash
# Installs what is needed, builds a Release tree and runs every test, then builds a tree with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every suite but the windows there.
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNWICK_SANITIZE="address;undefined" -DTARNWICK_BUILD_UI=OFF
cmake --build build-asan -j "$jobs"
# The media libraries are not instrumented; leaks inside them are theirs, not ours.
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE ui

# ThreadSanitizer over the suites that run jobs on several threads.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNWICK_SANITIZE=thread -DTARNWICK_BUILD_UI=OFF
cmake --build build-tsan -j "$jobs" --target threaded_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp \
    ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L threads

# The fuzz harnesses, each for a bounded time.
scripts/fuzz.sh 60
