#!/bin/bash
# The real program as a native Wayland client (QT_QPA_PLATFORM=wayland, no X
# display in its environment) of the Weston compositor: it comes up with the
# document's first page drawn and Ctrl+Q, delivered by Weston, ends it with
# status 0. Weston's headless back end has no seat, so nothing could type into
# it; its X11 back end, in a window of the virtual X server, gives Weston a
# keyboard that xdotool drives and a screen that can be read.
# Usage: wayland.sh VELLUMO MAKE_SAMPLE
set -euo pipefail

source "$(dirname "$0")/program.bash"

if [[ "${1:-}" != --inside ]]; then
    run_under_xvfb "$0" "$1" "$2" sample.pdf
    exit
fi

runtime=$(mktemp -d)
chmod 0700 "$runtime"
socket=vellumo-e2e
# The kiosk shell gives the program's window the whole output: no panel, no
# background, nothing else to tell apart on the screen.
XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --shell=kiosk-shell.so \
    --socket="$socket" --width=1024 --height=768 --use-pixman --idle-time=0 \
    --no-config --log="$runtime/weston.log" &
weston=$!
stop_weston() {
    kill "$weston" 2>/dev/null || true
    wait "$weston" 2>/dev/null || true
    rm -rf "$runtime"
}
trap stop_weston EXIT
for _ in $(seq 100); do
    [[ -S "$runtime/$socket" ]] && break
    kill -0 "$weston" 2>/dev/null || { cat "$runtime/weston.log"; echo "FAIL: weston did not start"; exit 1; }
    sleep 0.1
done

# Weston's output window, "  0x200001 "Weston Compositor - screen0": 1024x768+0+0  +0+0";
# await_line watches Weston until the program runs.
pid=$weston
output_line() { xwininfo -root -tree | grep -F '"Weston Compositor'; }
await_line output_line || { echo "FAIL: weston shows no output window"; exit 1; }
read -r id _ <<<"$found"
read -r width height x y < <(sed -E 's/.* ([0-9]+)x([0-9]+)[-+][0-9-]+[-+][0-9-]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/' <<<"$found")
# Weston has the X keyboard focus before the program comes: given it later, Weston
# brings back the keyboard focus it had when it last lost it, often none, and then
# no key reaches the program.
xdotool windowfocus --sync "$id"

start_program env -u DISPLAY QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR="$runtime" \
    WAYLAND_DISPLAY="$socket" "$2" "$3"
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; stop_weston' EXIT

await_page_shown "$x" "$y" "$width" "$height"
expect_quit_by_key "$id"
