#!/usr/bin/env bash
# pictool from the outside: files in a scratch folder, exit codes, messages and the files made.
set -u
tool="$1"
data="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
passed=0

check() { # name, condition result
    if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else echo "FAIL: $1"; failed=$((failed + 1)); fi
}

out="$("$tool" info "$data/anim3.gif")"; rc=$?
check "info of an animation succeeds" $rc
echo "$out" | grep -qx "format: GIF"; check "info names the format" $?
echo "$out" | grep -qx "size: 12 x 8"; check "info gives the screen size" $?
echo "$out" | grep -qx "frames: 3"; check "info counts frames" $?

out="$("$tool" info "$data/topdown24.bmp")"; check "info of a BMP" $?
echo "$out" | grep -qx "bits: 24"; check "info gives the bit depth" $?
echo "$out" | grep -qx "transparent: none"; check "info without transparency" $?
echo "$out" | grep -qx "dpi: 72 x 72"; check "info gives the resolution" $?

"$tool" convert "$data/core4.bmp" "$work/a.gif"; check "BMP to GIF" $?
out="$("$tool" info "$work/a.gif")"; check "info of the GIF made" $?
echo "$out" | grep -qx "size: 5 x 3"; check "GIF keeps the size" $?

"$tool" convert "$data/topdown24.bmp" "$work/b.jpg" --width 30; check "BMP to JPEG scaled up" $?
echo "$("$tool" info "$work/b.jpg")" | grep -qx "size: 30 x 20"; check "width 30 keeps the aspect" $?

"$tool" convert "$work/b.jpg" "$work/c.bmp" --percent 50 --rotate 5; check "JPEG to BMP, half, turned" $?
echo "$("$tool" info "$work/c.bmp")" | grep -qx "size: 10 x 15"; check "percent then turn" $?

"$tool" convert "$data/anim3.gif" "$work/d.png"; check "GIF to PNG" $?
[ "$(head -c 8 "$work/d.png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ]; check "PNG signature" $?

# A deep picture written as GIF is a mosaic of tiles; converting it back gives the whole picture.
"$tool" convert "$data/topdown24.bmp" "$work/e.jpg" --width 40; check "make a 40-wide JPEG" $?
"$tool" convert "$work/e.jpg" "$work/e.gif"; check "JPEG to GIF mosaic" $?
"$tool" convert "$work/e.gif" "$work/e.bmp"; check "mosaic back to BMP" $?
echo "$("$tool" info "$work/e.bmp")" | grep -qx "size: 40 x 26"; check "mosaic size" $?

# Failures: non-zero status, one line on stderr, no output file left.
expect_fail() { # name, args...
    local name="$1"; shift
    err="$("$tool" "$@" 2>&1 >/dev/null)"; rc=$?
    [ $rc -ne 0 ]; check "$name fails" $?
    [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [ -n "$err" ]; check "$name says why in one line" $?
}
printf 'not an image' > "$work/x.gif"
: > "$work/empty.bmp"
head -c 20 "$data/core4.bmp" > "$work/cut.bmp"
expect_fail "missing file" info "$work/none.bmp"
expect_fail "garbage" info "$work/x.gif"
expect_fail "empty file" info "$work/empty.bmp"
expect_fail "cut file" convert "$work/cut.bmp" "$work/out.bmp"
expect_fail "unknown output type" convert "$data/core4.bmp" "$work/out.tiff"
expect_fail "bad rotate code" convert "$data/core4.bmp" "$work/out.bmp" --rotate 9
expect_fail "bad number" convert "$data/core4.bmp" "$work/out.bmp" --width ten
expect_fail "unknown option" convert "$data/core4.bmp" "$work/out.bmp" --colour red
[ ! -e "$work/out.bmp" ]; check "no output after failures" $?
"$tool" > /dev/null 2>&1; [ $? -ne 0 ]; check "no command is an error" $?

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
