#!/usr/bin/env bash
# Builds the core, the simulated reader and every test program that needs no Qt for 64-bit Windows
# with mingw-w64, and runs those tests under wine; then the Qt side, the packages and the shipped
# program end to end under wine (scripts/windows-qt-check.sh). Installs what is missing (Debian
# packages, with sudo when not root). The build lands in build-windows/ (WIN_BUILD_DIR overrides),
# wine's prefix inside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${WIN_BUILD_DIR:-$root/build-windows}
jobs=${JOBS:-$(nproc)}
gtest_src=/usr/src/googletest
t0=$(date +%s)

"$root/scripts/deps.sh" windows
t1=$(date +%s)

wine=$(command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# The preset "windows-cross" (CMakePresets.json): mingw-w64, no Qt, GoogleTest from its sources.
(cd "$root" && cmake --preset windows-cross -B "$build" "${launcher[@]}" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-test.sh" -DZT_GTEST_SOURCE="$gtest_src" \
    -DZT_WERROR=$werror >/dev/null)
nice -n "${ZT_BUILD_NICE:-0}" cmake --build "$build" -j"$jobs"  # test.sh: gives way to Qt
t2=$(date +%s)

# Wine sets up its prefix on the first start; do it once before the tests start in parallel.
# No Mono or Gecko: the tests need neither, and wine would otherwise offer to install them.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$wine" wineboot --init >/dev/null 2>&1 || true
"$wineserver" -w 2>/dev/null || true
# One wine server for the whole run, started apart and kept: the tests neither start nor end it, and
# what it prints stays in its own log.
"$wineserver" -p </dev/null >"$build/wineserver.log" 2>&1
trap '"$wineserver" -k 2>/dev/null || true' EXIT
ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 600
"$wineserver" -k 2>/dev/null || true
trap - EXIT
t4=$(date +%s)

echo "windows-check: install $((t1 - t0)) s, cross build $((t2 - t1)) s," \
    "tests under wine $((t4 - t2)) s, total $((t4 - t0)) s"

# The Qt side: Qt for Windows (built once into the cache), both programs, their tests under wine,
# the packages, and the shipped program end to end.
"$root/scripts/windows-qt-check.sh"
