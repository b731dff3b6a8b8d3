# Shared by the end-to-end scripts (sourced, so not a test of its own).

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The outer run: writes the sample as NAME in a scratch folder and runs SCRIPT
# again, with --inside, under a virtual X server.
run_under_xvfb() { # SCRIPT APP MAKE_SAMPLE NAME
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    "$3" "$work/$4"
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$1" --inside "$2" "$work/$4"
}

# Starts COMMAND (the program and its document, perhaps behind env); it is
# stopped when the script ends.
start_program() { # COMMAND...
    "$@" >/dev/null 2>&1 &
    pid=$!
    trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT
}

# Runs COMMAND until its output's first line is not empty (left in $found), for
# up to 30 s; fails at once when the program ends first.
await_line() { # COMMAND...
    found=""
    for _ in $(seq 150); do
        found=$("$@" 2>/dev/null | head -n 1 || true)
        [[ -n "$found" ]] && return 0
        kill -0 "$pid" 2>/dev/null || { echo "FAIL: the program ended early"; exit 1; }
        sleep 0.2
    done
    return 1
}

# Waits until the viewer of the program's window, at X Y with WIDTH x HEIGHT on
# the screen, shows a page: the pages sit right of the outline pane and below the
# toolbar, and the sample's first page has dark text on white there. Pages render
# on worker threads, so give them a moment.
await_page_shown() { # X Y WIDTH HEIGHT
    local area=("$(($1 + $3 * 30 / 100))" "$(($2 + $4 * 15 / 100))" "$(($3 * 60 / 100))" "$(($4 * 55 / 100))")
    local dark colours
    for _ in $(seq 50); do
        read -r dark colours < <(python3 "$e2e_dir/screen_ink.py" "${area[@]}")
        if python3 -c "import sys; sys.exit(0 if 0.002 < $dark < 0.5 and $colours >= 3 else 1)"; then
            echo "PASS: viewer shows the page (dark share $dark, $colours colours)"
            return 0
        fi
        sleep 0.2
    done
    echo "FAIL: the viewer area stays blank (dark share $dark, $colours colours)"
    exit 1
}

# Presses Ctrl+Q in the X window WINDOW (focused first unless it has the focus);
# the program must end by itself within SECONDS (10 unless given), with status 0.
expect_quit_by_key() { # WINDOW [SECONDS]
    local seconds=${2:-10}
    [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$(($1))" ]] || xdotool windowfocus --sync "$1"
    xdotool key ctrl+q
    for _ in $(seq $((seconds * 5))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: the program still runs $seconds s after Ctrl+Q"
        exit 1
    fi
    local status=0
    wait "$pid" || status=$?
    [[ $status -eq 0 ]] || { echo "FAIL: the program quit with status $status"; exit 1; }
    echo "PASS: Ctrl+Q quits with status 0"
}
