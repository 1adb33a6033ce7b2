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

# What the file says: a GIF's own colour depth, a JPEG that stores only a pixel shape.
echo "$("$tool" info "$data/anim3.gif")" | grep -qx "bits: 3"; check "GIF bits from its table" $?
"$tool" convert "$data/core4.bmp" "$work/f.jpg"; check "BMP without resolution to JPEG" $?
out="$("$tool" info "$work/f.jpg")"
echo "$out" | grep -qx "pixel aspect: 1:1"; check "aspect ratio is no resolution" $?
echo "$out" | grep -q "^dpi"; [ $? -ne 0 ]; check "no dpi line for an aspect ratio" $?

# PNG: RGB for a paletted picture, RGB with alpha for a transparent GIF (colour type at 25).
png_type() { od -An -tu1 -j25 -N1 "$1" | tr -d ' '; }
"$tool" convert "$data/core4.bmp" "$work/g.png"; check "paletted BMP to PNG" $?
[ "$(png_type "$work/g.png")" = 2 ]; check "paletted PNG is RGB" $?
printf 'GIF89a\x02\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff' > "$work/t.gif"
printf '\x21\xf9\x04\x01\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x02\x00\x01\x00\x00' >> "$work/t.gif"
printf '\x02\x02\x44\x0a\x00\x3b' >> "$work/t.gif"
"$tool" convert "$work/t.gif" "$work/t.png"; check "transparent GIF to PNG" $?
[ "$(png_type "$work/t.png")" = 6 ]; check "transparent PNG has alpha" $?

# A cut JPEG still converts, with one warning line.
"$tool" convert "$data/topdown24.bmp" "$work/h.jpg" --width 300; check "make a 300-wide JPEG" $?
head -c $(($(wc -c < "$work/h.jpg") / 2)) "$work/h.jpg" > "$work/cut.jpg"
err="$("$tool" convert "$work/cut.jpg" "$work/cut.bmp" 2>&1 >/dev/null)"; rc=$?
[ $rc -eq 0 ] && [ -s "$work/cut.bmp" ]; check "cut JPEG converts" $?
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && echo "$err" | grep -q "warning: .*cut.jpg"
check "cut JPEG warns in one line" $?
err="$("$tool" convert "$work/h.jpg" "$work/whole.bmp" 2>&1 >/dev/null)"
[ -z "$err" ]; check "a whole JPEG converts silently" $?

# A BMP still refused says why.
printf 'BM\x3a\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x01\x00\x00\x00' > "$work/j.bmp"
printf '\x01\x00\x00\x00\x01\x00\x18\x00\x04\x00\x00\x00' >> "$work/j.bmp"
head -c 24 /dev/zero >> "$work/j.bmp"
err="$("$tool" info "$work/j.bmp" 2>&1 >/dev/null)"
echo "$err" | grep -q "cannot decode as BMP: a JPEG picture inside a BMP file is not read"
check "refused BMP says why" $?

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

# Hostile files: a FIFO or device is refused at once; a link where the old tool put its
# temporary file is never written through.
mkfifo "$work/fifo.gif"
ln -s /dev/zero "$work/zero.bmp"
for f in fifo.gif zero.bmp; do
    err="$(timeout 10 "$tool" info "$work/$f" 2>&1 >/dev/null)"; rc=$?
    [ $rc -eq 1 ] && [ "$err" = "pictool: $work/$f is not a regular file" ]
    check "$f is refused at once" $?
done
echo victim > "$work/victim"
ln -s "$work/victim" "$work/out2.bmp.pictool~"
"$tool" convert "$data/core4.bmp" "$work/out2.bmp"; check "convert beside a planted link" $?
[ "$(cat "$work/victim")" = victim ]; check "the link's target is untouched" $?
expect_fail "a name with a line break" convert "$data/core4.bmp" "$work/no
such/out.bmp"
[ -z "$(find "$work" -name '.*.~sv-*')" ]; check "no temporary file left" $?
"$tool" > /dev/null 2>&1; [ $? -ne 0 ]; check "no command is an error" $?

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
