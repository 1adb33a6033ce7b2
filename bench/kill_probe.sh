#!/usr/bin/env bash
# Saves a memo over itself in a loop (padtool create, two contents in turn), kills each save
# with SIGKILL at a random moment, and checks after every kill that the memo is exactly the
# old or the new one, then that the next (whole) save leaves nothing beside it.
#   bench/kill_probe.sh PADTOOL [ROUNDS] [STROKES]
set -u
tool="${1:?usage: kill_probe.sh PADTOOL [ROUNDS] [STROKES]}"
rounds="${2:-500}"
strokes="${3:-5000}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Two memos of different sizes, so a torn or mixed file could not pass for either.
python3 - "$work" "$strokes" <<'EOF'
import json, random, sys
work, strokes = sys.argv[1], int(sys.argv[2])
paper = {"PageWidth": 240, "PageHeight": 320, "BackColor": "0x00FFFFFF", "HasBackImage": 0,
         "BackImageFormat": 0, "BackImageSize": 0, "BackImageAlpha": 128, "Flags": 0,
         "TitleHorLineColor": "0x003333FF", "HorLineColor": "0x00CC9966",
         "TitleVerLineColor": "0x005252FF", "VerLineColor": "0x00FFEECE", "LineAlpha": 255,
         "TitleBandHeight": 40, "TitleColumnWidth": 60, "LineSpace": 28, "ColumnSpace": 28,
         "TitleHorLineWidth": 2, "HorLineWidth": 1, "TitleVerLineWidth": 1, "VerLineWidth": 1}
rnd = random.Random(7)
def memo(n, colour):
    objects = []
    for i in range(n):
        # Scattered points compress badly, so the file (and its write) is not trivially small.
        pts = [[rnd.randrange(0, 240 << 16), rnd.randrange(0, 320 << 16), 196608, 255]
               for k in range(8)]
        objects.append({"kind": 3, "stroke_type": 0, "colour": colour, "width": 196608,
                        "alpha": 255, "text_format": 0, "bounds": [0, 0, 0, 0],
                        "transform": [65536, 0, 0, 65536, 0, 0, 0, 0], "points": pts})
    return {"version": [2, 2], "current_page": 1, "state": {"mark": 0},
            "alarm": {"switch1": 0, "switch2": 0, "switch3": 0, "switch4": 0, "value1": 0,
                      "value2": 0, "repeat": 0, "time": 949998},
            "paper": paper, "back_colour": "0x00FFFFFF", "title": "probe", "note": None,
            "sound": None, "picture": None,
            "pages": [{"position": [0, 0], "background": [], "objects": objects}]}
json.dump(memo(strokes, "0x000000FF"), open(work + "/a.json", "w"))
json.dump(memo(strokes * 2 // 3, "0x00FF0000"), open(work + "/b.json", "w"))
EOF
"$tool" create "$work/a.pad" --from "$work/a.json" && "$tool" create "$work/b.pad" --from "$work/b.json" ||
    { echo "kill_probe: cannot make the two memos"; exit 1; }

# How long one save takes, so the kills spread over all of it (start-up included).
start=$(date +%s%N)
for _ in 1 2 3 4 5; do "$tool" create "$work/m.pad" --from "$work/a.json"; done
save_ms=$((($(date +%s%N) - start) / 5000000))
echo "kill_probe: memos of $(stat -c %s "$work/a.pad") and $(stat -c %s "$work/b.pad") bytes;" \
    "one save takes about $save_ms ms; $rounds rounds"

leftovers() { find "$work" -maxdepth 1 -name '.m.pad.~sv-*' | wc -l; }
old=a new=b kept_old=0 got_new=0 torn=0 left_after_kill=0 left_after_save=0 failed_saves=0
for ((i = 1; i <= rounds; i++)); do
    "$tool" create "$work/m.pad" --from "$work/$new.json" 2>/dev/null &
    pid=$!
    # A random moment: every other round anywhere from 0 to 1.2 times a whole save, the
    # others in its last part (0.7 to 1.1), where the file is written and renamed.
    sleep "$(awk -v r=$RANDOM -v i=$i -v ms=$save_ms 'BEGIN {
        f = i % 2 ? r / 32767 * 1.2 : 0.7 + r / 32767 * 0.4; printf "%.4f", f * ms / 1000 }')"
    kill -KILL $pid 2>/dev/null
    wait $pid 2>/dev/null
    if cmp -s "$work/m.pad" "$work/$old.pad"; then
        kept_old=$((kept_old + 1))
    elif cmp -s "$work/m.pad" "$work/$new.pad"; then
        got_new=$((got_new + 1))
        old=$new
    else
        torn=$((torn + 1))
        echo "kill_probe: round $i left a memo that is neither the old nor the new one"
        cp "$work/$old.pad" "$work/m.pad"
    fi
    [ "$(leftovers)" -gt 0 ] && left_after_kill=$((left_after_kill + 1))
    # The next save runs whole: it must succeed and clear what the killed one left.
    new=$([ "$old" = a ] && echo b || echo a)
    "$tool" create "$work/m.pad" --from "$work/$new.json" || failed_saves=$((failed_saves + 1))
    cmp -s "$work/m.pad" "$work/$new.pad" || failed_saves=$((failed_saves + 1))
    [ "$(leftovers)" -gt 0 ] && left_after_save=$((left_after_save + 1))
    old=$new
    new=$([ "$old" = a ] && echo b || echo a)
done
echo "kill_probe: $rounds kills: old memo kept $kept_old, new memo in place $got_new," \
    "neither $torn; a temporary file left by the kill $left_after_kill times," \
    "still there after the next save $left_after_save times; failed whole saves $failed_saves"
[ $torn -eq 0 ] && [ $left_after_save -eq 0 ] && [ $failed_saves -eq 0 ]
