#!/bin/bash
# Qt's main thread is main()'s: started many times on a long document with its
# main thread held back after it starts the opening thread (as on a loaded
# machine), the program never warns that QApplication was made on another
# thread, and each time its window answers Ctrl+Q within 2 s.
# Usage: main_thread.sh VELLUMO MAKE_SAMPLE; $VELLUMO_SLOW_MAIN_THREAD names the
# preload library that holds the main thread back.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

source "$here/program.bash"

starts=30

if [[ "${1:-}" != --inside ]]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    "$2" "$work/book.pdf" 1000
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$1" "$work/book.pdf" "$work"
    exit
fi

app=$2
document=$3
work=$4
for run in $(seq "$starts"); do
    # A sanitized build wants its runtime first; the preload goes before it.
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
        LD_PRELOAD="$VELLUMO_SLOW_MAIN_THREAD" "$app" "$document" >"$work/out" 2>&1 &
    pid=$!
    trap 'kill -9 "$pid" 2>/dev/null || true' EXIT
    if ! await_line xdotool search --onlyvisible --name "\\[$document\\]"; then
        echo "FAIL: start $run: no window"
        exit 1
    fi
    echo -n "start $run: "
    expect_quit_by_key "$found" 2
    if grep -F "main() thread" "$work/out"; then
        cat "$work/out"
        echo "FAIL: start $run: Qt's main thread was not main()'s"
        exit 1
    fi
done
echo "PASS: $starts starts, each answered Ctrl+Q and kept Qt's main thread"
