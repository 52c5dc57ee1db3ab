#!/usr/bin/env bash
# Starts the program on a virtual display and saves pictures of its main window into docs/:
# "main-window.png" as it opens, and "main-window-rows.png" with three clips added through its
# own open dialog, typed in as a user would. Needs Xvfb, xdotool and imagemagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."

for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh needs $tool" >&2; exit 1; }
done
cmake --build build --target tarnwick sample_clip >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and says which.
Xvfb -displayfd 1 -screen 0 1280x1024x24 >"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$work/clips"
for name in Holiday Concert Interview; do cp build/samples/sample.mp4 "$work/clips/$name.mp4"; done

build/bin/tarnwick >"$work/program.log" 2>&1 &
pids+=($!)
window=$(xdotool search --sync --name '^Tarnwick ver')
sleep 2 # the splash goes at the first tick of its clock once the window shows
import -window "$window" docs/main-window.png

xdotool windowfocus --sync "$window"
xdotool key --window "$window" alt+a
dialog=$(xdotool search --sync --name '^Open$')
xdotool windowfocus --sync "$dialog"
xdotool type --delay 10 "$work/clips/"
xdotool key Return
sleep 1
xdotool type --delay 10 '"Holiday.mp4" "Concert.mp4" "Interview.mp4"'
xdotool key Return
sleep 2
# Back in the main window, whose list has the focus and the first row selected.
xdotool windowfocus --sync "$window"
sleep 0.5
import -window "$window" docs/main-window-rows.png
echo "Saved docs/main-window.png and docs/main-window-rows.png"
