#!/bin/bash
# A screen reader reads the pages of the real program: under a virtual X server
# and a private session bus with the accessibility bus switched on, as a
# desktop does for Orca, the page text is read through AT-SPI, before and
# after a page change.
# Usage: screen_reader.sh VELLUMO MAKE_SAMPLE
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

source "$here/program.bash"

if [[ "${1:-}" != --inside ]]; then
    run_under_xvfb "$0" "$1" "$2" "sample.pdf"
    exit
fi
if [[ -z "${VELLUMO_PRIVATE_BUS:-}" ]]; then
    VELLUMO_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

# What a screen reader sets when it starts; Qt's bridge then comes alive.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null
QT_QPA_PLATFORM=xcb LANG=C.UTF-8 start_program "$2" "$3"
# The system's Python, where the AT-SPI binding is installed.
/usr/bin/python3 "$here/read_pages.py"
