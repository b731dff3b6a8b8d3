"""What a screen reader reads off the running program, through AT-SPI: the
page view's pages, each a document whose text is the page's text as copying
gives it, the current page focused, a page change told by the new page taking
the focus and by the status line, and the text tool's selection.

Usage: read_pages.py, with the program showing the sample document on this
session's accessibility bus."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# The sample document's first two pages, each read whole.
COVER = ("Vellumo sample document\n欢迎使用 Vellumo 阅读器。\n"
         "This page is the cover.\n中文与 English 混排的一行。")
SECOND = ("Chapter 1: Reading\n第一章：阅读\n"
          "Use the toolbar to move between pages, zoom and rotate.\n使用工具栏翻页、缩放和旋转。")
FOCUSED = "object:state-changed:focused"
NAMED = "object:property-change:accessible-name"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def poll(probe, seconds=30):
    """probe() until it gives something true (returned), or None after the time."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    return None


def wait_for(what, probe):
    return poll(probe) or fail("no " + what)


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


def has(node, state):
    return node.getState().contains(state)


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def expect_text(page, expected):
    """The page's text once it reads as expected (the index may not have reached
    the page when first asked), or fail showing what it read."""
    read = []
    if not poll(lambda: read.append(text_of(page)) or read[-1] == expected):
        fail("%s reads %r, not %r" % (page.name, read[-1], expected))
    print("%s reads: %s" % (page.name, read[-1].replace("\n", " / ")))


def turn_page_and_listen(button, told, seconds=30):
    """Presses the button and collects the focus and name changes told until
    told(heard) is satisfied or the time is up; returns what was heard."""
    heard = []
    deadline = time.monotonic() + seconds

    def listen():
        if told(heard) or time.monotonic() > deadline:
            pyatspi.Registry.stop()
            return False
        return True

    pyatspi.Registry.registerEventListener(
        lambda e: heard.append((e.type, e.source.name, e.detail1)), FOCUSED, NAMED)
    GLib.timeout_add(300, lambda: button.queryAction().doAction(0) and False)
    GLib.timeout_add(100, listen)
    pyatspi.Registry.start()
    return heard


def second_page_told(heard):
    page = (FOCUSED, "第 2 页", 1) in heard
    status = any(t == NAMED and n.startswith("第 2 页，共") for t, n, _ in heard)
    return page and status


app = wait_for("program on the accessibility bus", program)
view = wait_for("page view", lambda: find(app, pyatspi.ROLE_FILLER, "文档页面"))
cover = wait_for("first page", lambda: find(view, pyatspi.ROLE_DOCUMENT_FRAME, "第 1 页"))
expect_text(cover, COVER)

# The pages take the keyboard, and with it the current page the focus. A bare
# X server has no window manager to give the window the keyboard.
subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vellumo ", "windowfocus"],
               check=True)
wait_for("active window", lambda: has(find(app, pyatspi.ROLE_FRAME), pyatspi.STATE_ACTIVE))
view.queryComponent().grabFocus()
wait_for("focus on the first page", lambda: has(cover, pyatspi.STATE_FOCUSED))

heard = turn_page_and_listen(find(app, pyatspi.ROLE_PUSH_BUTTON, "下一页(N)"), second_page_told)
if not second_page_told(heard):
    fail("the new page's focus and the status line were not both told: %s" % heard)
pages = [view.getChildAtIndex(i) for i in range(view.childCount)]
focused = [page for page in pages if has(page, pyatspi.STATE_FOCUSED)]
if [page.name for page in focused] != ["第 2 页"]:
    fail("focused after the page change: %s" % [page.name for page in focused])
second = focused[0]
expect_text(second, SECOND)

# What the text tool selects is the selection a screen reader reads: a drag
# across the page's first word, placed by the characters' own extents, ending
# past the middle of its last letter.
find(app, pyatspi.ROLE_MENU_ITEM, "鼠标选择模式(X)").queryAction().doAction(0)
text = second.queryText()
x, y, width, height = text.getCharacterExtents(0, pyatspi.DESKTOP_COORDS)
last = text.getCharacterExtents(len("Chapter") - 1, pyatspi.DESKTOP_COORDS)
middle = y + height // 2
end_x = last[0] + last[2] * 3 // 4
subprocess.run(["xdotool", "mousemove", str(x + 1), str(middle), "mousedown", "1",
                "sleep", "0.1", "mousemove", str((x + end_x) // 2), str(middle),
                "sleep", "0.1", "mousemove", str(end_x), str(middle),
                "sleep", "0.1", "mouseup", "1"], check=True)
wait_for("selection on the second page", lambda: text.getNSelections() == 1)
start, end = text.getSelection(0)
if text.getText(start, end) != "Chapter":
    fail("the selection reads %r (%d-%d)" % (text.getText(start, end), start, end))
print("PASS: the pages read as printed; the page change is told; the selection is read")
