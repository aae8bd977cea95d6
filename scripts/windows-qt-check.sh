#!/usr/bin/env bash
# Builds the Qt side for 64-bit Windows (zentap.exe, zentap-reader-sim.exe, the driver plugin, the
# window tests and the adapter tests) on the Qt for Windows of scripts/qt-windows.sh, puts Qt's and
# the compiler's DLLs beside the programs and runs under wine, on a virtual desktop inside Xvfb: the
# adapter tests with the serial port against a pseudo-terminal mapped as COM34 and the window tests.
# Then it makes the zip and the installer (scripts/package-windows.sh) and proves them: the shipped
# zentap.exe, unpacked from the zip, end to end against this machine's simulator over TCP and over
# COM34, and the installer installing and removing itself silently. The build lands in build-win-qt/
# (WIN_QT_BUILD_DIR overrides), wine's prefix inside it; the packages in build-win-qt/dist/.
# The native simulator comes from the native build (BUILD_DIR, default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${WIN_QT_BUILD_DIR:-$root/build-win-qt}
jobs=${JOBS:-$(nproc)}
cxx=x86_64-w64-mingw32-g++-posix
com=34
t0=$(date +%s)

wine=$(command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# Wine's prefix, made once: wine's virtual desktop (a window manager of its own, so windows get
# activated and focused as on Windows) and its fonts. No Mono or Gecko.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$build"  # wine makes the prefix, not the folders above it
if [ ! -f "$WINEPREFIX/.zt-ready" ]; then
    "$wine" wineboot --init >/dev/null 2>&1 || true
    "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    fonts=(/usr/share/wine/fonts/*)  # wine's own fonts (fonts-wine): without them text boxes stay blank
    [ -e "${fonts[0]}" ] && cp "${fonts[@]}" "$WINEPREFIX/drive_c/windows/Fonts/"
    "$wineserver" -w
    touch "$WINEPREFIX/.zt-ready"
fi
tp=$(date +%s)

# Qt for Windows: found in the cache, or built now, or waited for while test.sh builds it.
qt=$("$root/scripts/qt-windows.sh" | tail -n 1)
[ -f "$qt/.complete" ] || { echo "windows-qt-check: no Qt for Windows in $qt" >&2; exit 1; }
t1=$(date +%s)
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# The preset "windows-qt" (CMakePresets.json): mingw-w64, this Qt, the host's Qt tools. A build
# made on another Qt for Windows starts afresh (CMake keeps the Qt it found first).
if [ -f "$build/CMakeCache.txt" ] && ! grep -q "$qt" "$build/CMakeCache.txt"; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
(cd "$root" && ZT_QT_WINDOWS="$qt" cmake --preset windows-qt -B "$build" "${launcher[@]}" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" -DZT_WERROR=$werror >/dev/null)
cmake --build "$build" -j"$jobs" --target zentap zentap-reader-sim zentapdriver zt_ui_tests zt_platform_tests zt_lang
t2=$(date +%s)

# Beside the programs: Qt's libraries and the two plugins a widgets program needs, and the compiler's
# run-time libraries that Qt's libraries load (the programs themselves carry theirs).
bin=$build/bin
mkdir -p "$bin/plugins/platforms" "$bin/plugins/styles"
cp -u "$qt"/bin/Qt6{Core,Gui,Widgets,Network,Test}.dll "$bin/"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    path=$("$cxx" -print-file-name="$dll")
    [ -f "$path" ] || path=/usr/x86_64-w64-mingw32/lib/$dll
    cp -u "$path" "$bin/"
done
cp -u "$qt/plugins/platforms/qwindows.dll" "$bin/plugins/platforms/"
cp -u "$qt/plugins/styles/qwindowsvistastyle.dll" "$bin/plugins/styles/"
printf '[Paths]\nPlugins=plugins\n' >"$bin/qt.conf"
t3=$(date +%s)

# The reader's end of COM34: a pseudo-terminal that sends back every byte it reads and hangs up on
# reading "ZT-HANG-UP". Wine takes a COM port from the link in dosdevices when it is opened.
link=$WINEPREFIX/dosdevices/com$com
rm -f "$link"
python3 - "$link" >"$build/echo-peer.log" 2>&1 <<'PY' &
import os, pty, select, sys, tty
master, slave = pty.openpty()
tty.setraw(slave)
os.symlink(os.ttyname(slave), sys.argv[1])
bye, tail = b"ZT-HANG-UP", b""
while select.select([master], [], [], 600)[0]:
    data = os.read(master, 4096)
    tail = (tail + data)[-len(bye):]
    if tail == bye:
        break
    os.write(master, data)
os.close(master)
PY
peer=$!
trap 'kill $peer 2>/dev/null || true; rm -f "$link"; "$wineserver" -k 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -L "$link" ] && break; sleep 0.1; done
[ -L "$link" ] || { cat "$build/echo-peer.log" >&2; exit 1; }

# The wine server of the prefix, started apart so that what it prints on ending stays out of the log.
"$wineserver" -p 10 </dev/null >/dev/null 2>&1

# Everything in one Xvfb. Wine hands the tests ZT_ variables but no QT_ ones: the window tests run
# on Qt's Windows platform, in wine's virtual desktop.
export ZT_ECHO_COM=$com
xvfb-run -a -s "-screen 0 1400x900x24" bash -euo pipefail -c '
    cd "$1"
    timeout 600 "$2" zt_platform_tests.exe
    timeout 900 "$2" zt_ui_tests.exe
    # The simulator program starts, says where it listens and ends on "quit".
    printf "quit\n" | timeout 120 "$2" zentap-reader-sim.exe --headless --port 0 | grep -q "^listening"
' _ "$bin" "$wine"
t4=$(date +%s)

# The packages, and the shipped program proven end to end: the zip unpacked as a user would, with
# the driver plugin put beside it for the test only.
dist=$build/dist
mapfile -t packages < <("$root/scripts/package-windows.sh" "$build" "$qt" "$dist")
zip=${packages[0]} setup=${packages[1]}
rm -rf "$dist/unpacked" && mkdir -p "$dist/unpacked" && (cd "$dist/unpacked" && unzip -q "$zip")
app=$(echo "$dist"/unpacked/zentap-*-win64)
mkdir -p "$app/plugins/generic"
cp "$bin/plugins/generic/zentapdriver.dll" "$app/plugins/generic/"
t5=$(date +%s)

sim=${BUILD_DIR:-$root/build}/bin/zentap-reader-sim
kill $peer 2>/dev/null || true
wait $peer 2>/dev/null || true
rm -f "$link"
# COM34 is the simulator's pseudo-terminal, through the link it makes.
ln -s "$build/sim-com$com" "$link"
export ZT_DRIVER_TIMEOUT=60
xvfb-run -a -s "-screen 0 1400x900x24" bash -euo pipefail -c '
    python3 "$1/tests/e2e/e2e.py" --sim "$2" -- "$3" "$4/zentap.exe"
    python3 "$1/tests/e2e/e2e.py" --sim "$2" --com "$5" --link "$6" -- "$3" "$4/zentap.exe"
    python3 "$1/tests/e2e/installer.py" "$7" "$8"
' _ "$root" "$sim" "$wine" "$app" "$com" "$build/sim-com$com" "$setup" "$bin/plugins/generic/zentapdriver.dll"
t6=$(date +%s)

echo "windows-qt-check: wine prefix $((tp - t0)) s, Qt $((t1 - tp)) s, cross build $((t2 - t1)) s, deploy $((t3 - t2)) s," \
    "tests under wine $((t4 - t3)) s, packages $((t5 - t4)) s, end to end and installer $((t6 - t5)) s," \
    "total $((t6 - t0)) s"
