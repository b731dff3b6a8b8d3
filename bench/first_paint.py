#!/usr/bin/python3
"""Launch to first page painted, for several readers measured alike.

Each run starts a fresh Xvfb, starts the reader on the document there and looks
at the middle of its window every few milliseconds; the first page counts as
painted once that area holds page ink (some dark pixels among many light ones). Readers take turns, so a change in the machine's load falls on each.

  first_paint.py RUNS DOCUMENT NAME=COMMAND...   (the document is appended to COMMAND)

Prints a line a reader: NAME median MS min MS max MS painted N/RUNS.
Needs Xvfb and python3-xlib; run it with /usr/bin/python3.
"""
import os
import shlex
import statistics
import subprocess
import sys
import time

from Xlib import X, display as xdisplay

TIMEOUT_S = 20


def start_server():
    """A fresh Xvfb on a display number nobody holds; its process and name."""
    for number in range(150, 400):
        if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
            continue
        server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                try:
                    return server, xdisplay.Display(f":{number}")
                except Exception:
                    pass
            time.sleep(0.01)
        server.kill()
    raise RuntimeError("no display number free")


def reader_window(root):
    """The largest mapped top-level window, or None."""
    best = None
    for window in root.query_tree().children:
        try:
            if window.get_attributes().map_state != X.IsViewable:
                continue
            geometry = window.get_geometry()
        except Exception:
            continue
        if geometry.width > 200 and geometry.height > 200:
            if not best or geometry.width * geometry.height > best[1].width * best[1].height:
                best = (window, geometry)
    return best


def holds_ink(root, geometry):
    """Whether the window's middle shows page content."""
    w, h = geometry.width // 3, geometry.height // 3
    x, y = geometry.x + geometry.width // 3, geometry.y + geometry.height // 3
    try:
        raw = root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
    except Exception:
        return False
    pixels = [raw[i:i + 3] for i in range(0, len(raw), 4 * 7)]  # every 7th pixel
    dark = sum(1 for p in pixels if sum(p) < 3 * 100)
    return 0.002 < dark / max(1, len(pixels)) < 0.5


def measure(command, document):
    """Milliseconds from launch to first page painted, or None."""
    server, display = start_server()
    root = display.screen().root
    env = dict(os.environ, DISPLAY=display.get_display_name())
    started = time.monotonic()
    reader = subprocess.Popen(shlex.split(command) + [document], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    painted = None
    try:
        while time.monotonic() - started < TIMEOUT_S and reader.poll() is None:
            found = reader_window(root)
            if found and holds_ink(root, found[1]):
                painted = (time.monotonic() - started) * 1000
                break
            time.sleep(0.002)
    finally:
        reader.kill()
        reader.wait()
        display.close()
        server.kill()
        server.wait()
    return painted


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    runs, document = int(sys.argv[1]), sys.argv[2]
    readers = [arg.split("=", 1) for arg in sys.argv[3:]]
    times = {name: [] for name, _ in readers}
    for _ in range(runs):
        for name, command in readers:
            ms = measure(command, document)
            if ms is not None:
                times[name].append(ms)
    for name, _ in readers:
        got = times[name]
        if got:
            print(f"{name} median {statistics.median(got):.0f} min {min(got):.0f} max {max(got):.0f} "
                  f"painted {len(got)}/{runs}")
        else:
            print(f"{name} painted 0/{runs}")


if __name__ == "__main__":
    main()
