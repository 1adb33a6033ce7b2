#!/usr/bin/env bash
# Opening a memo by its host path, as the desktop does: a real process, a script that writes a
# stroke and closes with Enter; afterwards the file holds the new stroke, beside it nothing
# changed, and nothing else of the host was touched. Once for a file inside the device root
# and once for one outside it. Usage: open_host_file_test.sh SCRIBBO PADTOOL
set -euo pipefail
scribbo=$1
padtool=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work
fail() { echo "open_host_file_test: $*" >&2; exit 1; }

objects() { "$padtool" info "$1" | sed -n 's/^page 1: \([0-9]*\) objects.*/\1/p'; }
# Lists a folder's files with their sizes and times, to see that nothing else changed.
listing() { (cd "$1" && find . -type f -printf '%p %s %T@\n' | sort); }
stroke_script() {
    printf 'down 60 120\nmove 180 200 8\nup 180 200\nwait 100\nkey RETURN\nwait 500\n' >"$work/$1"
}

# A memo written by the program itself.
stroke_script first
"$scribbo" --device "$work/device" --headless --screen 240x320 --script "$work/first" /n
memo=$(find "$work/device/My Documents" -name '*.pad' | head -1)
[ -n "$memo" ] || fail "no memo was written"
[ "$(objects "$memo")" = 1 ] || fail "the first memo does not hold one stroke"

check_open() { # PATH-OF-MEMO FOLDER-TO-WATCH
    local path=$1 folder=$2
    local before
    before=$(listing "$folder" | grep -v "^\./$(basename "$path") " || true)
    stroke_script again
    "$scribbo" --device "$work/device" --headless --screen 240x320 --script "$work/again" "$path"
    [ "$(objects "$path")" = 2 ] || fail "$path does not hold the new stroke"
    [ "$before" = "$(listing "$folder" | grep -v "^\./$(basename "$path") " || true)" ] ||
        fail "something beside $path changed"
}

# Inside the device root: opened by its device path.
check_open "$memo" "$(dirname "$memo")"

# Outside it: the same memo in a folder of its own with a neighbour that must stay untouched.
mkdir "$work/outside"
cp "$memo" "$work/outside/my memo.pad"
echo "neighbour" >"$work/outside/other.pad"
"$padtool" info "$work/outside/my memo.pad" >/dev/null
"$scribbo" --device "$work/device" --headless --screen 240x320 --script "$work/again" \
    "$work/outside/my memo.pad"
[ "$(objects "$work/outside/my memo.pad")" = 3 ] || fail "the outside memo does not hold the new stroke"
[ "$(cat "$work/outside/other.pad")" = "neighbour" ] || fail "the neighbour changed"
[ "$(ls -A "$work/outside" | wc -l)" = 2 ] || fail "files were left beside the outside memo"
[ ! -e "$work/device/Storage Card/my memo.pad" ] || fail "the memo was copied into the device"
echo "open_host_file_test: ok"
