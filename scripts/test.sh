#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Windows builds and their tests under
# wine first (scripts/windows-check.sh; WINDOWS_CHECK=0 leaves it out), then the native suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A compiler cache shared by every clone of this machine (sources are hashed relative to the clone).
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
if [ "${WINDOWS_CHECK:-1}" = "0" ]; then
    "$root/scripts/deps.sh"
    "$root/scripts/build.sh"
else
    "$root/scripts/deps.sh" windows
    # Qt for Windows is the longest step of a fresh machine: it starts first, in the background, and
    # the other builds give way to it. The Windows check's own call waits for it (the cache is
    # locked while it builds); the tests run at full priority.
    "$root/scripts/qt-windows.sh" >/dev/null &
    qt_build=$!
    nice -n 10 "$root/scripts/build.sh"
    ZT_BUILD_NICE=10 "$root/scripts/windows-check.sh"
    wait "$qt_build"
fi
build=${BUILD_DIR:-$root/build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"${JOBS:-$(nproc)}" --timeout 300
