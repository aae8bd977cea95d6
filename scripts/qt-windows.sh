#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (shared libraries) from Debian's own qt6-base source with mingw-w64,
# once, into a cache folder outside the clone, and prints that folder (the Qt prefix) on its last
# line. The folder is keyed by Qt version, compiler and options: a later call with the same key
# only prints it. ZT_CACHE overrides the cache root (default ~/.cache/zentap).
#
#   prefix=$(scripts/qt-windows.sh | tail -n 1)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
cache=${ZT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zentap}
cxx=x86_64-w64-mingw32-g++-posix

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
step_start=$(date +%s)
step() {  # step NAME: prints how long the step before took
    local now; now=$(date +%s)
    echo "qt-windows: $1 ($((now - step_start)) s)" >&2
    step_start=$now
}

# Features a widgets program with a socket needs; the rest is left out to halve the build.
options=(-DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release
         -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
         -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
         -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF -DFEATURE_testlib=ON
         -DFEATURE_sql_odbc=OFF -DFEATURE_sql_sqlite=OFF -DFEATURE_icu=OFF)

if ! command -v "$cxx" >/dev/null || ! command -v dpkg-source >/dev/null; then
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        g++-mingw-w64-x86-64-posix dpkg-dev ninja-build cmake qt6-base-dev qt6-base-dev-tools >/dev/null
fi
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)            # host tools and source must match
compiler=$("$cxx" -dumpfullversion)
key=$(printf '%s\n' "$version" "$compiler" "${options[@]}" "$(cat "$root/cmake/mingw-w64.cmake")" |
      sha256sum | cut -c1-12)
prefix="$cache/qt-${version%%+*}-mingw$compiler-$key"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi
echo "qt-windows: building Qt $version for Windows into $prefix" >&2
mkdir -p "$cache"
work=$(mktemp -d "$cache/work.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The source of the very version installed here: a deb-src line for the suites of the deb lines.
cd "$work"
if ! apt-get source --download-only -qq "qt6-base=$version" >/dev/null 2>&1; then
    src_list=/etc/apt/sources.list.d/zentap-deb-src.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | "${sudo[@]}" tee "$src_list" >/dev/null
    else
        grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | "${sudo[@]}" tee "${src_list%.sources}.list" >/dev/null
    fi
    "${sudo[@]}" apt-get update -qq
    apt-get source --download-only -qq "qt6-base=$version" >/dev/null
fi
dpkg-source --no-check -x qt6-base_*.dsc src >/dev/null
step "source"

cmake -G Ninja -S src -B build --toolchain "$root/cmake/mingw-w64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}" >build.log 2>&1 ||
    { tail -n 40 build.log >&2; exit 1; }
step "configure"
cmake --build build -j"$jobs" >>build.log 2>&1 || { tail -n 60 build.log >&2; exit 1; }
step "build"
cmake --install build >>build.log 2>&1 || { tail -n 40 build.log >&2; exit 1; }
touch "$prefix/.complete"
step "install"
echo "$prefix"
