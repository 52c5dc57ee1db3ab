#!/usr/bin/env bash
# Installs what is needed, builds Tarnwick and starts it: the windows when there is a display
# and they are built, else the command line. Without arguments the command line converts the
# sample clip the build makes, so a first run shows a real conversion.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

if [ -x build/bin/tarnwick ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/bin/tarnwick "$@"
fi
if [ $# -gt 0 ]; then
    exec build/bin/tarnwick-cli "$@"
fi
build/bin/tarnwick-cli --list-presets
echo
echo "Converting the sample clip with preset 0 into ${HOME}/tarnwick:"
exec build/bin/tarnwick-cli build/samples/sample.mp4 -p 0 -o "${HOME}/tarnwick"
