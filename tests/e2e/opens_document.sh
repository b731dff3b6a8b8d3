#!/bin/bash
# The real program, given a document on its command line under a virtual X
# server, comes up with the document named in its caption and its first page
# drawn in the viewer.
# Usage: opens_document.sh VELLUMO MAKE_SAMPLE
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

source "$here/program.bash"

if [[ "${1:-}" != --inside ]]; then
    run_under_xvfb "$0" "$1" "$2" "sample document.pdf"
    exit
fi

document=$3
start_program "$2" "$document"
# The top-level window whose caption ends with "[<document>]".
caption_line() { xwininfo -root -tree | grep -F "[$document]\""; }
if ! await_line caption_line; then
    echo "FAIL: no window caption names $document"
    xwininfo -root -tree | grep '"' || true
    exit 1
fi
window=$found
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
