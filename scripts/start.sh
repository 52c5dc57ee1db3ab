#!/usr/bin/env bash
# Installs what is needed, builds Tarnwick and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

if [ -x build/bin/tarnwick ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/tarnwick "$@"
elif [ -x build/bin/tarnwick-cli ]; then
    exec build/bin/tarnwick-cli "$@"
else
    echo "Built in build/. The windows and the command line are not part of this build yet;"
    echo "the test suite shows what runs: scripts/test.sh"
fi
