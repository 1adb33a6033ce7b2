#!/usr/bin/env bash
# One 800 x 600 page of 2000 handwriting strokes (about 105,000 points, line widths 0.5 to 8
# pixels, the same on every run) rendered to PNG two ways, each a whole process: padtool
# render from a memo file, and a small C program drawing the same strokes with cairo (one
# path per stroke, round caps and joins). The two run in turn and the ratio is taken pair by
# pair, so a machine whose speed drifts still gives a fair ratio.
#   bench/ink_page.sh BUILD_DIR [RUNS] [KEEP_DIR]
# Prints the medians of wall and processor time of each and the medians of the per-pair
# ratios cairo / padtool (above 1: padtool is faster). Needs python3, a C compiler and
# cairo's development files.
# KEEP_DIR, when given, keeps the memo, the stroke file, the cairo program and both pictures.
set -eu
build="${1:?usage: ink_page.sh BUILD_DIR [RUNS] [KEEP_DIR]}"
runs="${2:-11}"
here="$(cd "$(dirname "$0")" && pwd)"
tool="$build/bin/padtool"
[ -x "$tool" ] || { echo "ink_page.sh: no $tool (build the padtool target)" >&2; exit 2; }
if [ -n "${3:-}" ]; then
    work="$3"
    mkdir -p "$work"
else
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
fi

# The page, as memo JSON for padtool and as a stroke file for the cairo program.
python3 - "$work" <<'EOF'
import json, math, struct, sys
work = sys.argv[1]
W, H, PAPER = 800, 600, 0x00E0FFFF  # paper RGB(255, 255, 224)

class Lcg:
    def __init__(self, seed): self.s = seed
    def next(self):
        self.s = (self.s * 1664525 + 1013904223) & 0xFFFFFFFF
        return (self.s >> 8) / 16777216.0
    def range(self, lo, hi): return lo + (hi - lo) * self.next()

rnd = Lcg(20261209)
pens = [0x00600000, 0x00202020, 0x00000090, 0x00306000]
markers = [0x0000DCFF, 0x0080FF80]
strokes = []
line, x = 0, 12.0
while len(strokes) < 2000:
    baseline = 30 + 23.5 * line
    n = 40 + int(rnd.next() * 26)  # 40..65 samples, 52.5 on average
    length = n * rnd.range(0.45, 0.75)
    height = rnd.range(9, 16)
    loops = max(2.0, round(length / rnd.range(7, 11)))
    slant = rnd.range(0.1, 0.3)
    marker = rnd.next() < 0.05
    u = rnd.next()
    width = rnd.range(5.0, 8.0) if marker else 0.5 + 7.5 * u * u * u
    colour = markers[int(rnd.next() * 2)] if marker else pens[int(rnd.next() * 4)]
    pts = []
    for i in range(n):
        t = i / (n - 1)
        ph = t * loops * 2 * math.pi
        up = 0.5 - 0.5 * math.cos(ph) * (0.7 + 0.3 * math.sin(ph * 0.37))
        py = baseline - (height * 0.4 if marker else height * up)
        px = x + length * t - (0 if marker else 4 * math.sin(ph) - slant * (baseline - py))
        # A digitiser reports quarter pixels.
        pts.append((round(px * 4) / 4, round(py * 4) / 4))
    strokes.append((1 if marker else 0, colour, width, 128 if marker else 255, pts))
    x += rnd.range(6, 12.5)
    if x > W - 40:
        line, x = (line + 1) % 25, rnd.range(4, 20)

objects = []
with open(work + "/page.strokes", "wb") as f:
    f.write(b"INKS" + struct.pack("<4I", W, H, PAPER, len(strokes)))
    for tool, colour, width, alpha, pts in strokes:
        f.write(struct.pack("<IIfII", tool, colour, width, alpha, len(pts)))
        for px, py in pts:
            f.write(struct.pack("<ff", px, py))
        radius = int(width / 2 * 65536)
        # Bounds as the program keeps them: the points' pixel box widened by the radius and
        # the outer half of the antialiasing band.
        reach = math.ceil(width / 2 + 0.6)
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        left = math.floor(min(xs)) - reach
        bounds = [left - int(math.fmod(left, 2)), math.floor(min(ys)) - reach,
                  math.ceil(max(xs)) + reach + 1, math.ceil(max(ys)) + reach + 1]
        objects.append({"kind": 3, "stroke_type": tool, "colour": "0x%08X" % colour,
                        "width": radius, "alpha": alpha, "text_format": 0,
                        "bounds": bounds, "transform": [65536, 0, 0, 65536, 0, 0, 0, 0],
                        "points": [[int(px * 65536), int(py * 65536), radius, alpha]
                                   for px, py in pts]})
paper = {"PageWidth": W, "PageHeight": H, "BackColor": "0x%08X" % PAPER, "HasBackImage": 0,
         "BackImageFormat": 0, "BackImageSize": 0, "BackImageAlpha": 128, "Flags": 0,
         "TitleHorLineColor": "0x003333FF", "HorLineColor": "0x00CC9966",
         "TitleVerLineColor": "0x005252FF", "VerLineColor": "0x00FFEECE", "LineAlpha": 255,
         "TitleBandHeight": 40, "TitleColumnWidth": 60, "LineSpace": 28, "ColumnSpace": 28,
         "TitleHorLineWidth": 2, "HorLineWidth": 1, "TitleVerLineWidth": 1, "VerLineWidth": 1}
memo = {"version": [2, 2], "current_page": 1, "state": {"mark": 0},
        "alarm": {"switch1": 0, "switch2": 0, "switch3": 0, "switch4": 0, "value1": 0,
                  "value2": 0, "repeat": 0, "time": 949998},
        "paper": paper, "back_colour": "0x%08X" % PAPER, "title": "ink page", "note": None,
        "sound": None, "picture": None,
        "pages": [{"position": [0, 0], "background": [], "objects": objects}]}
json.dump(memo, open(work + "/page.json", "w"))
print("page: %d strokes, %d points, 800 x 600" % (len(strokes), sum(len(s[4]) for s in strokes)))
EOF

cc -O2 -o "$work/ink_page_cairo" "$here/ink_page_cairo.c" $(pkg-config --cflags --libs cairo)
"$tool" create "$work/page.pad" --from "$work/page.json"
echo "memo: $(stat -c %s "$work/page.pad") bytes"

pad=("$tool" render "$work/page.pad" "$work/pad.png")
cairo=("$work/ink_page_cairo" "$work/page.strokes" "$work/cairo.png")
# One untimed run of each warms the caches and checks both work.
"${pad[@]}"
"${cairo[@]}"

# Wall time, and the processor time (user + system) the kernel charged each finished run:
# on a busy machine the second is the steadier one.
python3 - "$runs" "${pad[@]}" -- "${cairo[@]}" <<'EOF'
import os, statistics, subprocess, sys, time
runs = int(sys.argv[1])
cut = sys.argv.index("--")
commands = {"padtool render": sys.argv[2:cut], "cairo": sys.argv[cut + 1:]}
rows = {name: [] for name in commands}
for i in range(runs):
    for name, argv in commands.items():
        start = time.monotonic()
        child = subprocess.Popen(argv)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.monotonic() - start
        if status:
            sys.exit("%s failed" % name)
        rows[name].append((wall * 1000, (usage.ru_utime + usage.ru_stime) * 1000))
for k, what in ((0, "wall"), (1, "cpu")):
    pad = [r[k] for r in rows["padtool render"]]
    cairo = [r[k] for r in rows["cairo"]]
    ratio = statistics.median(c / p for p, c in zip(pad, cairo))
    print("%-4s padtool render %7.1f ms, cairo %7.1f ms, cairo / padtool %.2f" %
          (what, statistics.median(pad), statistics.median(cairo), ratio))
print("medians of %d alternating runs; the ratio is the median of the pair ratios "
      "(above 1: padtool is faster)" % runs)
EOF
