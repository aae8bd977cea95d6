#!/usr/bin/env bash
# Makes the two Windows packages from a Windows build of the Qt programs:
#   zentap-<version>-win64.zip        the programs, the Qt and compiler DLLs they load, the plugins,
#                                     Qt's own translations, the five language files, a read-me
#   zentap-<version>-setup.exe        the same files behind an installer (Debian's makensis)
#
#   scripts/package-windows.sh <windows build folder> <Qt prefix> <output folder>
#
# The DLLs are found by walking the imports of every program and plugin, so the packages hold what
# the programs load and nothing that happens to lie around.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd) qt=$2 out=$(mkdir -p "$3" && cd "$3" && pwd)
mingw=x86_64-w64-mingw32
version=$(sed -n 's/^project(zentap VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name=zentap-$version-win64
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/zentap-$version-setup.exe"
mkdir -p "$stage/plugins/platforms" "$stage/plugins/styles" "$stage/translations"

cp "$build/bin/zentap.exe" "$build/bin/zentap-reader-sim.exe" "$stage/"
cp "$root"/lang/MisI0?.dat "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/plugins/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/plugins/styles/"
printf '[Paths]\r\nPlugins=plugins\r\nTranslations=translations\r\n' >"$stage/qt.conf"
# Qt's own texts (dialog buttons, file dialogs) in the window's languages; Portugal's Portuguese
# has no file of its own, Brazil's stands in.
for lang in es en ca fr pt_BR; do
    cp "/usr/share/qt6/translations/qtbase_$lang.qm" "$stage/translations/"
done
sed 's/$/\r/' "$root/packaging/LICENSE" >"$stage/LICENSE.txt"
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$root/packaging/windows/README.txt"; } >"$stage/README.txt"
# Qt is shipped under the LGPL 3 (which builds on the GPL 3); its source is Debian's qt6-base.
mkdir -p "$stage/licenses"
sed 's/$/\r/' /usr/share/common-licenses/LGPL-3 >"$stage/licenses/LGPL-3.txt"
sed 's/$/\r/' /usr/share/common-licenses/GPL-3 >"$stage/licenses/GPL-3.txt"

# Every DLL that an executable of the stage imports, from Qt's folder or the compiler's, until
# nothing new turns up. Windows' own DLLs are found nowhere here and are left to Windows.
dll_dirs=("$qt/bin" /usr/lib/gcc/$mingw/*-posix /usr/$mingw/lib /usr/$mingw/bin)
imports() { "$mingw-objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
todo=("$stage"/*.exe "$stage"/plugins/*/*.dll)
while [ ${#todo[@]} -gt 0 ]; do
    file=${todo[0]}
    todo=("${todo[@]:1}")
    for dll in $(imports "$file"); do
        [ -e "$stage/$dll" ] && continue
        for dir in "${dll_dirs[@]}"; do
            if [ -f "$dir/$dll" ]; then
                cp "$dir/$dll" "$stage/"
                todo+=("$stage/$dll")
                break
            fi
        done
    done
done
"$mingw-strip" --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/plugins/*/*.dll

(cd "$out" && rm -f "$name.zip" && zip -qr9 "$name.zip" "$name")

# The installer lists the files it installs one by one, so that its uninstaller removes exactly
# those (and a folder the user put into the program's folder survives).
{
    (cd "$stage" && find . -type d | sort) | while read -r d; do
        d=${d#./}
        [ "$d" = "." ] && d=""
        echo "SetOutPath \"\$INSTDIR\\${d//\//\\}\""
        (cd "$stage/$d" && find . -maxdepth 1 -type f | sort) | while read -r f; do
            f=${f#./}
            echo "File \"${stage}/${d:+$d/}$f\""
        done
    done
    echo "SetOutPath \"\$INSTDIR\""
} >"$out/files.nsh"
{
    (cd "$stage" && find . -type f | sort) | while read -r f; do
        f=${f#./}
        echo "Delete \"\$INSTDIR\\${f//\//\\}\""
    done
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
        d=${d#./}
        echo "RMDir \"\$INSTDIR\\${d//\//\\}\""
    done
} >"$out/unfiles.nsh"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$out" -DOUTFILE="$out/zentap-$version-setup.exe" \
    "$root/packaging/windows/zentap.nsi" >/dev/null
echo "$out/$name.zip"
echo "$out/zentap-$version-setup.exe"
