"""What a screen reader reads off the running program, through AT-SPI: the
page view's pages, each a document whose text is the page's text, the current
page focused, and the text and status line following a page change.

Usage: read_pages.py (with the program running on this session's a11y bus)."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# The sample document's pages as a copy of each whole page reads.
COVER = ("Vellumo sample document\n欢迎使用 Vellumo 阅读器。\n"
         "This page is the cover.\n中文与 English 混排的一行。")
SECOND = ("Chapter 1: Reading\n第一章：阅读\n"
          "Use the toolbar to move between pages, zoom and rotate.\n使用工具栏翻页、缩放和旋转。")


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(what, probe, seconds=30):
    """probe() until it gives something, or fail naming what was awaited."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    fail("no " + what)


def descendants(node, depth=0):
    yield node
    if depth > 12:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from descendants(child, depth + 1)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Vellumo":
            return app
    return None


def find(root, role, name=None):
    for node in descendants(root):
        if node.getRole() == role and (name is None or node.name == name):
            return node
    return None


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def pages(view):
    return [view.getChildAtIndex(i) for i in range(view.childCount)]


app = wait_for("program on the accessibility bus", program)
view = wait_for("page view", lambda: find(app, pyatspi.ROLE_FILLER, "文档页面"))
cover = wait_for("first page", lambda: find(view, pyatspi.ROLE_DOCUMENT_FRAME, "第 1 页"))
# The index may not have reached the page yet: its text comes once it has.
wait_for("text of the first page", lambda: text_of(cover) == COVER or None)
print("first page reads: " + text_of(cover).replace("\n", " / "))

# The reader's keys go to the pages: the current page takes the focus. A bare
# X server has no window manager to give the window the keyboard.
subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vellumo ", "windowfocus"],
               check=True)
wait_for("active window", lambda: find(app, pyatspi.ROLE_FRAME).getState().contains(
    pyatspi.STATE_ACTIVE) or None)
view.queryComponent().grabFocus()
wait_for("focus on the first page",
         lambda: cover.getState().contains(pyatspi.STATE_FOCUSED) or None)

# The next page, as the toolbar's button turns it; the new page is announced
# (it takes the focus) and so is the status line.
heard = []
pyatspi.Registry.registerEventListener(
    lambda e: heard.append((e.type, e.source.name, e.detail1)),
    "object:state-changed:focused", "object:property-change:accessible-name")
next_page = find(app, pyatspi.ROLE_PUSH_BUTTON, "下一页(N)")
GLib.timeout_add(300, lambda: next_page.queryAction().doAction(0) and False)
GLib.timeout_add(3000, lambda: pyatspi.Registry.stop() or False)
pyatspi.Registry.start()

focused = [p for p in pages(view) if p.getState().contains(pyatspi.STATE_FOCUSED)]
if len(focused) != 1 or focused[0].name != "第 2 页":
    fail("focused after the page change: %s" % [p.name for p in focused])
second = focused[0]
wait_for("text of the second page", lambda: text_of(second) == SECOND or None)
print("second page reads: " + text_of(second).replace("\n", " / "))
if ("object:state-changed:focused", "第 2 页", 1) not in heard:
    fail("the new page's focus was not announced: %s" % heard)
if not any(t == "object:property-change:accessible-name" and n.startswith("第 2 页，共")
           for t, n, _ in heard):
    fail("the status line's change was not announced: %s" % heard)
print("PASS: pages read as printed, the page change announced")
