#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and checks it from the outside: the files are
# where the desktop looks for them, the programs find their libraries and data in the prefix,
# the desktop entry and memo file type are valid, and the installed program starts and shows
# its window. Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "install_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
echo "installed tree:"
(cd "$prefix" && find . -type f -o -type l | sort)

for f in bin/scribbo bin/wakelaunch bin/padtool bin/pictool lib/libplatform_sdl.so \
         share/scribbo/language.txt share/scribbo/winza.lng share/scribbo/toolbar.bmp \
         share/scribbo/en/language.txt share/scribbo/en/winza.lng \
         share/applications/scribbo.desktop share/mime/packages/scribbo.xml; do
    [ -f "$prefix/$f" ] || fail "missing $f"
done
for p in scribbo wakelaunch padtool pictool; do
    [ -x "$prefix/bin/$p" ] || fail "bin/$p is not executable"
done
# Build inputs stay out of the shipped data.
[ ! -e "$prefix/share/scribbo/resources" ] || fail "build inputs were installed"

# Each program and library finds its libraries in the prefix, not in the build tree.
for f in "$prefix"/bin/* "$prefix"/lib*/lib*.so*; do
    out=$(ldd "$f")
    ! grep -q "not found" <<<"$out" || fail "$f: a library is not found: $out"
    ! grep -q "$build" <<<"$out" || fail "$f loads from the build tree: $out"
done
winza=$(ldd "$prefix/bin/scribbo" | awk '$1 == "libwinza.so" {print $3}')
[ "$(realpath "$winza")" = "$(realpath "$prefix")/lib/libwinza.so" ] ||
    fail "scribbo does not load libwinza from the prefix: $winza"

# The icon at each size, as a square PNG of that size.
for size in 48 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/scribbo.png
    [ -f "$png" ] || fail "missing icon $size"
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "icon $size is $dims"
done

desktop=$prefix/share/applications/scribbo.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop entry is not valid: $out"
[ -z "$out" ] || fail "desktop entry: $out"
grep -qx "Exec=$prefix/bin/scribbo %f" "$desktop" || fail "Exec does not name the installed program"
grep -qx "MimeType=application/x-scribbo-memo;" "$desktop" || fail "no memo type in the entry"

# The memo type: *.pad, and a memo's version header when the name says nothing.
XDG_DATA_DIRS=$prefix/share update-mime-database "$prefix/share/mime" 2>"$work/mime.err"
[ ! -s "$work/mime.err" ] || fail "update-mime-database: $(cat "$work/mime.err")"
grep -q "application/x-scribbo-memo:\*\.pad" "$prefix/share/mime/globs2" || fail "no *.pad glob"
[ -f "$prefix/share/mime/application/x-scribbo-memo.xml" ] || fail "memo type not registered"
grep -aq "\[30:application/x-scribbo-memo\]" "$prefix/share/mime/magic" || fail "no memo magic"

# The installed program starts headless, puts the installed data on a new device (a marker
# file added to the installed data shows which folder it came from) and shows its window.
echo marker >"$prefix/share/scribbo/marker.txt"
device=$work/device
printf 'wait 500\nshot %s\nquit\n' "$work/shot.png" >"$work/script"
XDG_RUNTIME_DIR=$work "$prefix/bin/scribbo" --device "$device" --screen 240x320 --lang en \
    --script "$work/script" || fail "the installed program failed"
folder=$device/Program\ Files/Scribbo
[ -f "$folder/marker.txt" ] || fail "the installed program did not use the installed data"
cmp -s "$folder/language.txt" "$prefix/share/scribbo/en/language.txt" ||
    fail "the device did not get the English texts"
[ "$(readlink "$folder/scribbo.exe")" = "$prefix/bin/scribbo" ] || fail "device link is wrong"
[ -s "$work/shot.png" ] || fail "no screenshot"
echo "install_test: ok"
