#!/bin/bash
# The real program, given a document on its command line under a virtual X
# server, comes up with the document named in its caption and its first page
# drawn in the viewer.
# Usage: opens_document.sh VELLUMO MAKE_SAMPLE
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

if [[ "${1:-}" != --inside ]]; then
    app=$1
    make_sample=$2
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    "$make_sample" "$work/sample document.pdf"
    xvfb-run -a -s "-screen 0 1280x1024x24" \
        bash "$0" --inside "$app" "$work/sample document.pdf"
    exit
fi

app=$2
document=$3
"$app" "$document" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

# The top-level window whose caption ends with "[<document>]".
window=""
for _ in $(seq 150); do
    window=$(xwininfo -root -tree | grep -F "[$document]\"" | head -n 1 || true)
    [[ -n "$window" ]] && break
    kill -0 "$pid" 2>/dev/null || { echo "FAIL: the program ended early"; exit 1; }
    sleep 0.2
done
if [[ -z "$window" ]]; then
    echo "FAIL: no window caption names $document"
    xwininfo -root -tree | grep '"' || true
    exit 1
fi
echo "window: $window"

# Absolute position and size: "  850x592+215+216  +215+216".
read -r width height x y < <(sed -E 's/.* ([0-9]+)x([0-9]+)[-+][0-9-]+[-+][0-9-]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/' <<<"$window")

# The viewer's pages sit right of the outline pane and below the toolbar; the
# sample's first page has its text there. Pages render on worker threads, so
# give them a moment.
area=("$((x + width * 30 / 100))" "$((y + height * 15 / 100))" "$((width * 60 / 100))" "$((height * 55 / 100))")
for _ in $(seq 50); do
    read -r dark colours < <(python3 "$here/screen_ink.py" "${area[@]}")
    if python3 -c "import sys; sys.exit(0 if $dark > 0.002 and $colours >= 3 else 1)"; then
        echo "PASS: viewer shows the page (dark share $dark, $colours colours)"
        exit 0
    fi
    sleep 0.2
done
echo "FAIL: the viewer area stays blank (dark share $dark, $colours colours)"
exit 1
