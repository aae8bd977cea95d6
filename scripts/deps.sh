#!/usr/bin/env bash
# Installs the Debian packages Zentap builds and tests with, where they are missing; with the
# argument "windows", also those of the Windows build and its check under wine, in the same go.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config
          qt6-base-dev qt6-serialport-dev libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          qt6-translations-l10n ccache
          xvfb xauth python3-xlib dpkg-dev desktop-file-utils lintian)
if [ "${1:-}" = "windows" ]; then
    packages+=(g++-mingw-w64-x86-64-posix wine wine64 googletest fonts-wine qt6-base-dev-tools
               nsis zip unzip python3)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    command -v sudo >/dev/null || { echo "Needs root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
