# Shared by the end-to-end scripts (sourced, so not a test of its own).

# The outer run: writes the sample as NAME in a scratch folder and runs SCRIPT
# again, with --inside, under a virtual X server.
run_under_xvfb() { # SCRIPT APP MAKE_SAMPLE NAME
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    "$3" "$work/$4"
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$1" --inside "$2" "$work/$4"
}

# Starts APP on DOCUMENT; it is stopped when the script ends.
start_program() { # APP DOCUMENT
    "$1" "$2" >/dev/null 2>&1 &
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
