#!/bin/bash
# The real program, given a document on its command line under a virtual X
# server, comes up with the document named in its caption and its first page
# drawn in the viewer, and Ctrl+Q ends it with status 0. The package test runs
# it on the program unpacked from the package.
# Usage: opens_document.sh VELLUMO MAKE_SAMPLE
set -euo pipefail

source "$(dirname "$0")/program.bash"

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
await_page_shown "$x" "$y" "$width" "$height"
read -r id _ <<<"$window"
expect_quit_by_key "$id"
