#!/bin/bash
# The real program under a virtual X server: F11 shows the pages alone on the
# whole screen, Escape brings the window back as it was, and F11 does both.
# Usage: full_screen.sh VELLUMO MAKE_SAMPLE
set -euo pipefail

source "$(dirname "$0")/program.bash"

if [[ "${1:-}" != --inside ]]; then
    run_under_xvfb "$0" "$1" "$2" sample.pdf
    exit
fi

document=$3
start_program "$2" "$document"
# Shown, not only named: the caption is set before the window is mapped, and a
# key sent before then is lost.
await_line xdotool search --onlyvisible --name "\\[$document\\]" ||
    { echo "FAIL: no window caption names $document"; exit 1; }
window=$found

size() { xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
# Waits until the window has the size, or fails saying what it has.
expect_size() {
    for _ in $(seq 50); do
        [[ "$(size)" == "$1" ]] && return 0
        sleep 0.1
    done
    echo "FAIL: $2: the window is $(size), not $1"
    exit 1
}

xdotool windowfocus --sync "$window"
before=$(size)
[[ "$before" != 1280x1024 ]] || { echo "FAIL: the window starts as large as the screen"; exit 1; }
for leave in Escape F11; do
    xdotool key F11
    expect_size 1280x1024 "after F11"
    xdotool key "$leave"
    expect_size "$before" "after $leave"
done
echo "PASS: F11 fills the screen, Escape and F11 return to $before"
