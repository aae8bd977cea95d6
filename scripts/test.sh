#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Windows build of the Qt-free tests
# under wine first (scripts/windows-check.sh; WINDOWS_CHECK=0 leaves it out), then the native suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A compiler cache shared by every clone of this machine (sources are hashed relative to the clone).
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
[ "${WINDOWS_CHECK:-1}" = "0" ] || "$root/scripts/windows-check.sh"
build=${BUILD_DIR:-$root/build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j"${JOBS:-$(nproc)}" --timeout 300
