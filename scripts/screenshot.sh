#!/usr/bin/env bash
# Writes pictures of the window into docs/img/: one per tab right after start (zentap-config.png,
# zentap-generic.png, zentap-user.png, zentap-read.png), the read tab after a card was made and read
# back through an emulated reader (zentap-read-card.png), the user tab in the middle of a batch on
# that reader (zentap-run.png), the first tab at 200 % (zentap-config-200.png), and the reader
# simulator's window while a user card is written into one of its cards (zentap-reader-sim.png),
# and zentap.exe under wine where scripts/windows-check.sh has built it (zentap-windows-*.png).
# Installs what is missing (xvfb among it), builds what is needed, and shows the window on a virtual
# X server. BUILD_DIR chooses the build folder (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${OUT_DIR:-$root/docs/img}

"$root/scripts/deps.sh"
if [ -f "$build/CMakeCache.txt" ]; then
    cmake --build "$build" --target zentap_shot zentap-reader-sim zt_lang
else
    BUILD_DIR=$build "$root/scripts/build.sh"
fi
shot=$build/bin/zentap_shot
sim=$build/bin/zentap-reader-sim
mkdir -p "$out"

run() {
    # A virtual X server where there is one; Qt's own off-screen platform otherwise.
    if command -v xvfb-run >/dev/null; then
        xvfb-run -a -s "-screen 0 3840x2400x24" env -u QT_QPA_PLATFORM "$@"
    else
        echo "xvfb-run not found: drawing off-screen" >&2
        QT_QPA_PLATFORM=offscreen "$@"
    fi
}

run env QT_SCALE_FACTOR=1 "$shot" "$out" "" 0123c
run env QT_SCALE_FACTOR=1 "$shot" "$out" "" r
run env QT_SCALE_FACTOR=2 "$shot" "$out" "-200" 0

# The simulator takes its own picture when ZT_SIM_SHOT names the file. It listens on its usual port
# 1001 where it may, so that the picture shows what the user sees; on any free port otherwise.
sim_shot() {
    run env QT_SCALE_FACTOR=1 ZT_SIM_SHOT="$out/zentap-reader-sim.png" \
        "$sim" --seed 7 --cards 3 "$@"
}
sim_shot || sim_shot --port 0

# zentap.exe under wine (zentap-windows-run.png, -read.png, -record.png): the program unpacked from
# the zip by scripts/windows-check.sh, with the driver plugin beside it, in that check's wine prefix.
winqt=${WIN_QT_BUILD_DIR:-$root/build-win-qt}
exe=$(ls "$winqt"/dist/unpacked/zentap-*-win64/zentap.exe 2>/dev/null | head -n 1)
if [ -n "$exe" ]; then
    WINEPREFIX="$winqt/wine" WINEDEBUG=-all ZT_DRIVER_TIMEOUT=60 xvfb-run -a -s "-screen 0 1400x900x24" \
        python3 "$root/scripts/shots_windows.py" "$sim" "$out" -- wine "$exe"
else
    echo "no Windows build: run scripts/windows-check.sh first for the pictures of zentap.exe" >&2
fi
