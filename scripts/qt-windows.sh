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

# What Zentap and its window tests use: Core, Gui, Widgets, Network (TCP), Test, the Windows
# platform plugin and the Vista style. Everything else is left out; on two cores the build time
# follows the number of files compiled, not the optimisation level (parsing headers is most of it).
options=(-DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release
         -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
         -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
         -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF -DFEATURE_testlib=ON
         -DFEATURE_icu=OFF
         # other platform plugins, OpenGL, DirectWrite (its font database comes with Direct2D), fonts and
         # images Zentap draws without
         -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_opengl=OFF -DFEATURE_freetype=OFF -DFEATURE_harfbuzz=OFF
         -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_movie=OFF
         -DFEATURE_picture=OFF -DFEATURE_pdf=OFF -DFEATURE_tuiotouch=OFF
         # network: plain TCP only
         -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF -DFEATURE_http=OFF -DFEATURE_udpsocket=OFF
         -DFEATURE_dnslookup=OFF -DFEATURE_localserver=OFF -DFEATURE_networkdiskcache=OFF
         -DFEATURE_networklistmanager=OFF -DFEATURE_sspi=OFF -DFEATURE_gssapi=OFF
         -DFEATURE_sctp=OFF -DFEATURE_socks5=OFF -DFEATURE_networkproxy=OFF
         -DFEATURE_topleveldomain=OFF
         # core and gui parts no widget of Zentap reaches
         -DFEATURE_mimetype=OFF -DFEATURE_xmlstream=OFF -DFEATURE_timezone=OFF
         -DFEATURE_jalalicalendar=OFF -DFEATURE_islamiccivilcalendar=OFF -DFEATURE_hijricalendar=OFF
         -DFEATURE_sharedmemory=OFF -DFEATURE_systemsemaphore=OFF
         -DFEATURE_transposeproxymodel=OFF -DFEATURE_concatenatetablesproxymodel=OFF
         -DFEATURE_identityproxymodel=OFF -DFEATURE_textmarkdownreader=OFF
         -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF -DFEATURE_systemtrayicon=OFF
         -DFEATURE_sessionmanager=OFF -DFEATURE_undocommand=OFF -DFEATURE_undostack=OFF
         -DFEATURE_undogroup=OFF
         # widgets Zentap does not show
         -DFEATURE_graphicsview=OFF -DFEATURE_graphicseffect=OFF -DFEATURE_mdiarea=OFF
         -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF -DFEATURE_commandlinkbutton=OFF
         -DFEATURE_splashscreen=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_fontcombobox=OFF
         -DFEATURE_toolbox=OFF -DFEATURE_dial=OFF -DFEATURE_scroller=OFF -DFEATURE_gestures=OFF
         -DFEATURE_syntaxhighlighter=OFF -DFEATURE_keysequenceedit=OFF -DFEATURE_colordialog=OFF
         -DFEATURE_fontdialog=OFF -DFEATURE_wizard=OFF -DFEATURE_errormessage=OFF
         -DFEATURE_undoview=OFF -DFEATURE_datawidgetmapper=OFF -DFEATURE_columnview=OFF
         -DFEATURE_tablewidget=OFF -DFEATURE_textbrowser=OFF -DFEATURE_progressdialog=OFF
         -DFEATURE_style_fusion=OFF -DFEATURE_style_stylesheet=OFF)
# Qt 6.4's Windows plugin does not compile without OpenGL: one function body needs a guard.
patch_source() {
    perl -0pi -e 's/(static inline bool isSoftwareGl\(\)\n\{\n)(.*?\n)(\}\n)/$1#if QT_CONFIG(opengl)\n$2#else\n    return false;\n#endif\n$3/s' \
        src/src/plugins/platforms/windows/qwindowswindow.cpp
    grep -q 'if QT_CONFIG(opengl)' src/src/plugins/platforms/windows/qwindowswindow.cpp
}

if ! command -v "$cxx" >/dev/null || ! command -v dpkg-source >/dev/null; then
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        g++-mingw-w64-x86-64-posix dpkg-dev ninja-build cmake qt6-base-dev qt6-base-dev-tools >/dev/null
fi
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)            # host tools and source must match
compiler=$("$cxx" -dumpfullversion)
key=$(printf '%s\n' "$version" "$compiler" "${options[@]}" "$(declare -f patch_source)" \
              "$(cat "$root/cmake/mingw-w64.cmake")" |
      sha256sum | cut -c1-12)
prefix="$cache/qt-${version%%+*}-mingw$compiler-$key"
mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9  # a second call waits for the build under way, then finds it done
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi
echo "qt-windows: building Qt $version for Windows into $prefix" >&2
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
dpkg-source --no-check -x qt6-base_*.dsc src >/dev/null 2>&1
patch_source
step "source"

cmake -G Ninja -S src -B build --toolchain "$root/cmake/mingw-w64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${options[@]}" >build.log 2>&1 ||
    { tail -n 40 build.log >&2; exit 1; }
step "configure"
# -k 0: one failing file does not hide the others
cmake --build build -j"$jobs" -- -k 0 >>build.log 2>&1 ||
    { grep -B2 -A12 -m 20 'error:' build.log | tail -n 200 >&2; exit 1; }
step "build"
cmake --install build >>build.log 2>&1 || { tail -n 40 build.log >&2; exit 1; }
touch "$prefix/.complete"
step "install"
echo "$prefix"
