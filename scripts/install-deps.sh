#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tarnwick needs.
# Idempotent: prints nothing and changes nothing when all packages are present.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    clang libclang-rt-14-dev
    libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev libavfilter-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libjpeg62-turbo-dev
    libgtest-dev libgmock-dev
    dbus-daemon
    libcli11-dev
    locales
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
