#!/usr/bin/env bash
# padtool from the outside: memos, JSON and pictures in a scratch folder, exit codes, messages.
set -u
tool="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dev="$work/dev"
mkdir -p "$dev/Pad"
failed=0
passed=0

check() { # name, condition result
    if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else echo "FAIL: $1"; failed=$((failed + 1)); fi
}
pt() { "$tool" --device "$dev" "$@"; }

# Size and one pixel of a PNG (8-bit RGB, any row filter): "W H" or "R G B".
png() { # file [x y]
    python3 - "$@" <<'EOF'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n'
pos, idat, w = 8, b'', 0
while pos < len(data):
    n, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + n]
    if kind == b'IHDR':
        w, h, depth, ctype = struct.unpack('>IIBB', body[:10])
        assert depth == 8 and ctype == 2
    elif kind == b'IDAT':
        idat += body
    pos += 12 + n
if len(sys.argv) == 2:
    print(w, h)
    sys.exit(0)
raw, stride, rows, prev = zlib.decompress(idat), w * 3, [], bytearray(w * 3)
for y in range(h):
    f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - 3] if i >= 3 else 0
        b, c = prev[i], prev[i - 3] if i >= 3 else 0
        if f == 1: line[i] = (line[i] + a) & 255
        elif f == 2: line[i] = (line[i] + b) & 255
        elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    rows.append(line)
    prev = line
x, y = int(sys.argv[2]), int(sys.argv[3])
print(*rows[y][3 * x:3 * x + 3])
EOF
}
is_red() { read -r r g b <<<"$(png "$@")"; [ "$r" -gt 200 ] && [ "$g" -lt 90 ] && [ "$b" -lt 90 ]; }
is_white() { [ "$(png "$@")" = "255 255 255" ]; }

# Two pages on white paper without lines: a red pen stroke across page 1 at y = 100, a blue
# marker stroke down page 2 at x = 60.
cat > "$work/memo.json" <<'EOF'
{
  "version": [2, 2],
  "current_page": 1,
  "state": {"mark": 0},
  "alarm": {"switch1": 0, "switch2": 0, "switch3": 0, "switch4": 0, "value1": 0, "value2": 0,
            "repeat": 0, "time": 949998},
  "paper": {"PageWidth": 240, "PageHeight": 320, "BackColor": "0x00FFFFFF", "HasBackImage": 0,
            "BackImageFormat": 0, "BackImageSize": 0, "BackImageAlpha": 128, "Flags": 0,
            "TitleHorLineColor": "0x003333FF", "HorLineColor": "0x00CC9966",
            "TitleVerLineColor": "0x005252FF", "VerLineColor": "0x00FFEECE", "LineAlpha": 255,
            "TitleBandHeight": 40, "TitleColumnWidth": 60, "LineSpace": 28, "ColumnSpace": 28,
            "TitleHorLineWidth": 2, "HorLineWidth": 1, "TitleVerLineWidth": 1, "VerLineWidth": 1},
  "back_colour": "0x00FFFFFF",
  "title": "\ud55c\uae00 \uba54\ubaa8",
  "note": "a note",
  "sound": null,
  "picture": null,
  "pages": [
    {"position": [0, 0], "background": [], "objects": [
      {"kind": 3, "stroke_type": 0, "colour": "0x000000FF", "width": 196608, "alpha": 255,
       "text_format": 0, "bounds": [0, 0, 0, 0], "transform": [65536, 0, 0, 65536, 0, 0, 0, 0],
       "points": [[1310720, 6553600, 196608, 255], [13107200, 6553600, 196608, 255]]}]},
    {"position": [0, 0], "background": [], "objects": [
      {"kind": 3, "stroke_type": 1, "colour": "0x00FF0000", "width": 393216, "alpha": 128,
       "text_format": 0, "bounds": [0, 0, 0, 0], "transform": [65536, 0, 0, 65536, 0, 0, 0, 0],
       "points": [[3932160, 3276800, 393216, 128], [3932160, 19660800, 393216, 128]]}]}
  ]
}
EOF

pt create "$work/m.pad" --from "$work/memo.json"; check "create a memo" $?
out="$(pt info "$work/m.pad")"; check "info succeeds" $?
echo "$out" | grep -qx "version: 2.2"; check "info gives the version" $?
echo "$out" | grep -qx "pages: 2"; check "info counts pages" $?
echo "$out" | grep -qx "page 1: 1 objects, 0 background objects"; check "info counts objects" $?
echo "$out" | grep -qx "title: 한글 메모"; check "info gives the title" $?
echo "$out" | grep -qx "paper: 240 x 320, colour 0x00FFFFFF"; check "info gives the paper" $?
echo "$out" | grep -qx "picture: none"; check "info tells there is no picture" $?

# Round trip: the dump makes the same memo, which dumps the same JSON.
pt dump "$work/m.pad" > "$work/d1.json"; check "dump succeeds" $?
grep -q '"title": "한글 메모"' "$work/d1.json"; check "dump writes Korean as UTF-8" $?
grep -q '"points": \[\[1310720, 6553600, 196608, 255\], \[13107200' "$work/d1.json"
check "dump gives raw 16.16 points" $?
pt create "$work/m2.pad" --from "$work/d1.json"; check "create from the dump" $?
cmp -s "$work/m.pad" "$work/m2.pad"; check "create of a dump gives the same bytes" $?
pt dump "$work/m2.pad" > "$work/d2.json"; check "dump the copy" $?
cmp -s "$work/d1.json" "$work/d2.json"; check "dump, create, dump gives the same JSON" $?

# Version 1, the old form, laid out here byte by byte: a title, ruled lines and a marker stroke.
python3 - "$work/old.pad" <<'EOF'
import struct, sys
u32 = lambda *v: struct.pack('<%dI' % len(v), *v)
title = 'Old'.encode('utf-16-le')
head = u32(1, 0) + u32(568) + u32(568) + bytes(564) + u32(1, 3) + title
head += u32(0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF) + u32(1, 1, 0, 0) + u32(25, 0x018794D3, 0)
page = u32(1, 0) + u32(2) + bytes([0x80, 0x40, 0x20]) + struct.pack('<d', 6.0) + u32(2)
page += u32(20, 30, 200, 30)
body = u32(0xFFFFFF, 1) + u32(len(page), len(page)) + page
open(sys.argv[1], 'wb').write(head + body)
EOF
out="$(pt info "$work/old.pad")"; check "info of a version 1 memo" $?
echo "$out" | grep -qx "version: 1.0"; check "info gives version 1.0" $?
echo "$out" | grep -qx "title: Old"; check "info gives the old title" $?
pt dump "$work/old.pad" > "$work/e1.json"; check "dump version 1" $?
grep -q '"version": \[1, 0\]' "$work/e1.json"; check "dump says version 1" $?
pt create "$work/v1.pad" --from "$work/e1.json"; check "create from the version 1 dump" $?
[ "$(head -c 8 "$work/v1.pad" | od -An -tx1 | tr -d ' \n')" = "0100000000000000" ]
check "version 1 bytes at the start" $?
pt dump "$work/v1.pad" | cmp -s - "$work/e1.json"; check "version 1 dump, create, dump is stable" $?
pt dump "$work/v1.pad" > "$work/e2.json" && pt create "$work/v1b.pad" --from "$work/e2.json"
cmp -s "$work/v1.pad" "$work/v1b.pad"; check "version 1 comes back byte for byte" $?
# A current memo relabelled as version 1 holds more than that form keeps.
sed -e 's/"version": \[2, 2\]/"version": [1, 0]/' -e 's/"note": "a note"/"note": null/' \
    "$work/d1.json" > "$work/v1bad.json"
err="$(pt create "$work/v1bad.pad" --from "$work/v1bad.json" 2>&1)"; [ $? -eq 1 ]
check "version 1 refuses what it cannot hold" $?
[ "${err#*version 1 cannot hold}" != "$err" ] && [ ! -e "$work/v1bad.pad" ]
check "and says so, writing nothing" $?

# Device paths: a leading backslash names a file below the device root.
pt create '\pad\dev.pad' --from "$work/memo.json"; check "create on a device path" $?
cmp -s "$dev/Pad/dev.pad" "$work/m.pad"; check "device path lands below the root" $?
pt info '\Pad\dev.pad' > /dev/null; check "info on a device path" $?
pt create "$dev/Pad/host.pad" --from "$work/memo.json"; check "create on a host path in the root" $?
cmp -s "$dev/Pad/host.pad" "$work/m.pad"; check "the same memo inside the root" $?
SCRIBBO_DEVICE="$work/envdev" "$tool" create '\env.pad' --from "$work/memo.json"
check "create with the root from SCRIBBO_DEVICE" $?
[ -f "$work/envdev/env.pad" ]; check "SCRIBBO_DEVICE names the root" $?

# Rendering: size by zoom, ink where the stroke lies, paper elsewhere.
pt render "$work/m.pad" "$work/r.png"; check "render page 1" $?
[ "$(png "$work/r.png")" = "240 320" ]; check "100 % is the page size" $?
is_red "$work/r.png" 110 100; check "ink on the stroke" $?
is_white "$work/r.png" 110 200; check "paper away from the stroke" $?
pt render "$work/m.pad" "$work/r50.png" --zoom 50; check "render at 50 %" $?
[ "$(png "$work/r50.png")" = "120 160" ]; check "50 % size" $?
is_red "$work/r50.png" 55 50; check "ink at 50 %" $?
is_white "$work/r50.png" 55 100; check "paper at 50 %" $?
pt render "$work/m.pad" "$work/r200.png" --zoom 200; check "render at 200 %" $?
[ "$(png "$work/r200.png")" = "480 640" ]; check "200 % size" $?
is_red "$work/r200.png" 220 200; check "ink at 200 %" $?
is_white "$work/r200.png" 220 260; check "paper at 200 %" $?
pt render "$work/m.pad" "$work/p2.png" --page 2; check "render page 2" $?
read -r r g b <<<"$(png "$work/p2.png" 60 150)"
[ "$b" -gt 150 ] && [ "$r" -lt 200 ]; check "marker ink on page 2" $?
is_white "$work/p2.png" 110 100; check "page 2 lacks the ink of page 1" $?
pt render "$work/m.pad" "$work/all.png" --all; check "render every page" $?
[ -f "$work/all-1.png" ] && [ -f "$work/all-2.png" ] && [ ! -e "$work/all.png" ]
check "--all names the pages OUT-1.png, OUT-2.png" $?
cmp -s "$work/all-1.png" "$work/r.png"; check "--all page 1 as a single render" $?

# Failures: the status, one line on stderr, nothing on stdout.
expect_fail() { # name, status, args...
    local name="$1" want="$2"; shift 2
    local err rc
    err="$("$tool" --device "$dev" "$@" 2>&1 >"$work/stdout")"; rc=$?
    [ $rc -eq "$want" ]; check "$name gives status $want (got $rc)" $?
    [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [ "${err#padtool: }" != "$err" ]
    check "$name says why in one line" $?
    [ ! -s "$work/stdout" ]; check "$name writes nothing to stdout" $?
}
expect_fail "no command" 2
expect_fail "unknown command" 2 frobnicate "$work/m.pad"
expect_fail "info without a memo" 2 info
expect_fail "info with two memos" 2 info "$work/m.pad" "$work/m2.pad"
expect_fail "render without OUT" 2 render "$work/m.pad"
expect_fail "page 0" 2 render "$work/m.pad" "$work/x.png" --page 0
expect_fail "zoom not a number" 2 render "$work/m.pad" "$work/x.png" --zoom abc
expect_fail "zoom too large" 2 render "$work/m.pad" "$work/x.png" --zoom 2000
expect_fail "page and all" 2 render "$work/m.pad" "$work/x.png" --page 1 --all
expect_fail "page twice" 2 render "$work/m.pad" "$work/x.png" --page 1 --page 2
expect_fail "unknown option" 2 render "$work/m.pad" "$work/x.png" --colour red
expect_fail "create without --from" 2 create "$work/x.pad"
expect_fail "create without OUT" 2 create --from "$work/memo.json"
expect_fail "page past the end" 1 render "$work/m.pad" "$work/x.png" --page 3

: > "$work/empty.pad"
printf 'not a memo at all, just words' > "$work/garbage.pad"
head -c 150 "$work/m.pad" > "$work/cut.pad"
expect_fail "missing memo" 1 info "$work/none.pad"
expect_fail "empty memo file" 1 info "$work/empty.pad"
expect_fail "garbage" 1 dump "$work/garbage.pad"
expect_fail "cut memo" 1 dump "$work/cut.pad"
expect_fail "render of a cut memo" 1 render "$work/cut.pad" "$work/x.png"
expect_fail "a folder as memo" 1 info "$work"
expect_fail "device path outside the root" 1 info '\..\m.pad'

printf '{"version": [2, 2],}' > "$work/bad1.json"
sed 's/"title": "[^"]*"/"title": "0123456789012345678901234567890123456789"/' \
    "$work/memo.json" > "$work/bad2.json"
sed 's/"version": \[2, 2\]/"version": [2, 1]/' "$work/memo.json" > "$work/bad3.json"
python3 -c "print('[' * 100000)" > "$work/bad4.json"
sed 's/"title": "[^"]*"/"title": "a\\u0000b"/' "$work/memo.json" > "$work/bad5.json"
python3 - "$work/memo.json" "$work/empty.json" <<'EOF'
import json, sys
m = json.load(open(sys.argv[1]))
m['pages'] = [{"position": [0, 0], "objects": [], "background": []}]
json.dump(m, open(sys.argv[2], 'w'))
EOF
expect_fail "JSON with a trailing comma" 1 create "$work/x.pad" --from "$work/bad1.json"
expect_fail "title too long" 1 create "$work/x.pad" --from "$work/bad2.json"
expect_fail "version 2.1" 1 create "$work/x.pad" --from "$work/bad3.json"
expect_fail "nesting too deep" 1 create "$work/x.pad" --from "$work/bad4.json"
expect_fail "NUL in a title" 1 create "$work/x.pad" --from "$work/bad5.json"
expect_fail "an empty memo" 1 create "$work/x.pad" --from "$work/empty.json"
expect_fail "missing JSON" 1 create "$work/x.pad" --from "$work/none.json"
[ ! -e "$work/x.pad" ] && [ ! -e "$work/x.png" ]; check "no output after failures" $?
[ -z "$(find "$work" -name '.*.~sv-*')" ]; check "no half-written files left" $?

# Hostile files: FIFOs and devices are refused at once, as memo and as JSON.
mkfifo "$work/fifo.pad"
ln -s /dev/zero "$work/zero.pad"
for args in "info $work/fifo.pad" "dump $work/zero.pad" "create $work/y.pad --from $work/fifo.pad"; do
    set -- $args
    err="$(timeout 10 "$tool" --device "$dev" "$@" 2>&1 >/dev/null)"; rc=$?
    [ $rc -eq 1 ] && [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] &&
        [ "${err%is not a regular file}" != "$err" ]
    check "$1 refuses ${2##*/} at once" $?
done
set --
# A link where the old tool put its temporary file is never written through.
echo victim > "$work/victim"
ln -s "$work/victim" "$work/m.pad.~new"
pt create "$work/m.pad" --from "$work/memo.json"; check "create beside a planted link" $?
[ "$(cat "$work/victim")" = victim ]; check "the link's target is untouched" $?
# One line, whatever the name or the disk: a line break in a name, and a full file system
# (libpng's own words never reach stderr).
expect_fail "a name with a line break" 1 render "$work/m.pad" "$work/no
such/x.png"
err="$(trap '' XFSZ; ulimit -f 1; "$tool" --device "$dev" render "$work/m.pad" "$work/full.png" \
       --zoom 400 2>&1)"; rc=$?
[ $rc -eq 1 ] && [ "$err" = "padtool: cannot write $work/full.png" ]; check "a full disk gives one line" $?
[ ! -e "$work/full.png" ]; check "and leaves no picture" $?
# Two saves of one memo at the same moment both finish, leaving one whole memo.
sed 's/"note": "a note"/"note": "the other"/' "$work/memo.json" > "$work/other.json"
pt create "$work/other.pad" --from "$work/other.json"
saves() { for _ in $(seq 20); do pt create "$work/both.pad" --from "$1" || echo failed; done; }
fails="$( (saves "$work/memo.json" & saves "$work/other.json"; wait) 2>&1)"
[ -z "$fails" ]; check "concurrent saves all succeed" $?
cmp -s "$work/both.pad" "$work/m.pad" || cmp -s "$work/both.pad" "$work/other.pad"
check "and leave one whole memo" $?
[ -z "$(find "$work" -name '.*.~sv-*')" ]; check "and nothing beside it" $?

# A damaged memo is never written over: reading it fails, and so does a failed create.
cp "$work/cut.pad" "$work/keep.pad"
before="$(cksum < "$work/keep.pad")"
pt info "$work/keep.pad" 2>/dev/null
pt render "$work/keep.pad" "$work/keep.png" 2>/dev/null
pt create "$work/keep.pad" --from "$work/bad2.json" 2>/dev/null; [ $? -eq 1 ]
check "create with bad JSON over a damaged memo fails" $?
[ "$(cksum < "$work/keep.pad")" = "$before" ]; check "the damaged memo is untouched" $?
before="$(cksum < "$work/m.pad")"
pt create "$work/m.pad" --from "$work/bad1.json" 2>/dev/null
[ "$(cksum < "$work/m.pad")" = "$before" ]; check "a good memo survives a failed create" $?

"$tool" --help | grep -q "padtool .*render MEMO OUT.png"; check "--help shows the usage" $?

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
