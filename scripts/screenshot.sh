#!/usr/bin/env bash
# Writes pictures of the window into docs/img/: one per tab right after start (zentap-config.png,
# zentap-generic.png, zentap-user.png, zentap-read.png), the read tab after a card was made and read
# back through an emulated reader (zentap-read-card.png), and the first tab at 200 %
# (zentap-config-200.png).
# Installs what is missing (xvfb among it), builds what is needed, and shows the window on a virtual
# X server. BUILD_DIR chooses the build folder (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${OUT_DIR:-$root/docs/img}

"$root/scripts/deps.sh"
if [ -f "$build/CMakeCache.txt" ]; then
    cmake --build "$build" --target zentap_shot zt_lang
else
    BUILD_DIR=$build "$root/scripts/build.sh"
fi
shot=$build/bin/zentap_shot
mkdir -p "$out"

run() {
    # A virtual X server where there is one; Qt's own off-screen platform otherwise.
    if command -v xvfb-run >/dev/null; then
        xvfb-run -a -s "-screen 0 3840x2400x24" "$@"
    else
        echo "xvfb-run not found: drawing off-screen" >&2
        QT_QPA_PLATFORM=offscreen "$@"
    fi
}

run env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=1 "$shot" "$out" "" 0123c
run env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=2 "$shot" "$out" "-200" 0
