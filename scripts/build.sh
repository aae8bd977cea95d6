#!/usr/bin/env bash
# Configures and builds into build/ (BUILD_DIR overrides). Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" "${launcher[@]}" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DZT_WERROR=$werror "$@" >/dev/null
cmake --build "$build" -j"$jobs"
