"""A scripted keyboard session of the real program with Orca listening
(see orca.sh): after each step, the phrases a blind user must hear are
waited for in what Orca said.

  orca_drive.py BUILD_DIR WORK_DIR
"""
import functools
import os
import subprocess
import sys

import pyatspi

from a11y import LIMIT, Failure, application, find, run, wait, walk, window

print = functools.partial(print, flush=True)
build, work = sys.argv[1], sys.argv[2]
SAID = os.path.join(work, "said.txt")
program = None


def said():
    with open(SAID, encoding="utf-8", errors="replace") as text:
        return text.read()


class Listener:
    """What Orca says from now on."""

    def __init__(self):
        self.start = len(said())

    def text(self):
        return said()[self.start:]

    def hears(self, phrase, step):
        wait(lambda: phrase.lower() in self.text().lower(),
             "%r to be said after %s (said: %r)" % (phrase, step, self.text()))


def keys(*names):
    subprocess.run(["xdotool", "key", "--clearmodifiers"] + list(names), check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)


def spoken_name(node):
    """The name a screen reader gives a control: its label's, where a label
    says it names it (as for a drop-down list, whose own name is its
    current text), else its own."""
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return node.name


# What is not a control of its own: a list's rows, a drop-down list's
# parts, the tab bar's tabs (said as the tab bar), a row of a slider with
# its number (its parts are).
INSIDE = (pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX)
NOT_CONTROLS = (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_PAGE_TAB,
                pyatspi.ROLE_PAGE_TAB_LIST, pyatspi.ROLE_FILLER, pyatspi.ROLE_FRAME,
                pyatspi.ROLE_MENU, pyatspi.ROLE_WINDOW)


def controls(node):
    """The controls a keyboard user reaches in the window as it shows."""
    state = node.getState()
    if not state.contains(pyatspi.STATE_SHOWING):
        return
    # Of a group of radio buttons, Tab reaches the chosen one.
    radio_off = node.getRole() == pyatspi.ROLE_RADIO_BUTTON and not state.contains(
        pyatspi.STATE_CHECKED)
    if state.contains(pyatspi.STATE_FOCUSABLE) and node.getRole() not in NOT_CONTROLS \
            and not radio_off:
        yield node
    if node.getRole() not in INSIDE:
        for child in node:
            if child is not None:
                yield from controls(child)


def tab_to(name):
    """Tab until Orca says the control `name`, as a keyboard user does."""
    for _ in range(80):
        step = Listener()
        keys("Tab")
        wait(lambda: said_beyond_keys(step), "Orca to say the next control, on the way to " + name)
        if name.lower() in step.text().lower():
            return
    raise Failure("Tab never reached " + name)


# What Orca says of a key press or of the text left behind, not of where
# the focus went.
ASIDES = ("", "tab", "left control", "text unselected.", "text selected.")


# A control is said with its kind; the rest of what Orca says of it (its
# value, its text) may come a line later, after the next step began.
KINDS = ("slider", "spin button", "radio button", "check box", "push button", "text",
         "combo box", "list", "canvas", "toggle button", "page tab", "label")


def said_beyond_keys(listener):
    """Whether Orca said where the focus went since `listener` began: a
    control with its kind, after its echo of the Tab key (what comes before
    the echo is the rest of what it said of the control before)."""
    lines = [line.strip().lower() for line in listener.text().splitlines()]
    if "tab" not in lines:
        return False
    after = lines[len(lines) - lines[::-1].index("tab"):]
    return any(line not in ASIDES and any(kind in line for kind in KINDS) for line in after)


def tab_round(main, page):
    """Tab once round the window, from the tab bar back to it: each control
    of the page is said by its name."""
    expected = [spoken_name(node) for node in controls(main)]
    heard = Listener()
    for _ in range(80):
        step = Listener()
        keys("Tab")
        wait(lambda: said_beyond_keys(step), "Orca to say the next control on page %s" % page)
        if "%s page tab list" % page.lower() in step.text().lower():
            break
    else:
        raise Failure("Tab never came back to the tab bar on page %s" % page)
    missing = [name for name in expected if name.lower() not in heard.text().lower()]
    if missing:
        raise Failure("on page %s, never said: %s (said: %r)" % (page, missing, heard.text()))
    return expected


def main():
    global program
    program = subprocess.Popen([os.path.join(build, "app/tintorel")],
                               stdout=subprocess.DEVNULL,
                               stderr=open(os.path.join(work, "tintorel.err"), "w"))
    app = wait(application, "the program on the accessibility bus")
    main_window = wait(lambda: window(app, pyatspi.ROLE_FRAME, "Tintorel"), "the main window")
    listener = Listener()
    subprocess.run(["xdotool", "search", "--sync", "--all", "--onlyvisible", "--pid",
                    str(program.pid), "--name", "^Tintorel$", "windowfocus", "--sync"],
                   check=True)
    listener.hears("Tintorel frame", "the start")
    tabs = wait(lambda: find(main_window, pyatspi.ROLE_PAGE_TAB_LIST)[0], "the tab bar")
    pages = [tab.name for tab in tabs if tab.getRole() == pyatspi.ROLE_PAGE_TAB]

    # Every control of every page, by its name; the pages from the tab bar.
    for index, page in enumerate(pages):
        names = tab_round(main_window, page)
        print("orca: page %s, heard %s" % (page, ", ".join(names)))
        listener = Listener()
        keys("ctrl+Tab")
        following = pages[(index + 1) % len(pages)]
        listener.hears(following, "ctrl+Tab to page %s" % following)

    # A typed code: the colour it sets, by its nearest name.
    tab_to("Html")
    listener = Listener()
    keys("ctrl+a")
    type_text("#4169e1")
    listener.hears("royalblue", "a typed web code")

    # A page shown by a shortcut from a code field is said, and on the Name
    # page a typed code leaves the name list unsaid.
    for page in pages[1:]:
        listener = Listener()
        keys("ctrl+Tab")
        listener.hears(page, "ctrl+Tab from the web code to page %s" % page)
    listener = Listener()
    keys("ctrl+a")
    type_text("#ff0000")
    listener.hears("red", "a typed web code on the Name page")
    # Orca tells of a list it enters by its number of rows.
    if "list with" in listener.text().lower():
        raise Failure("the name list was said while the focus was in the web code: %r"
                      % listener.text())

    # The pipette over the screen's black background: its ticks say
    # nothing, its stop says the colour it took.
    tab_to("Pipette")
    html = find(main_window, pyatspi.ROLE_TEXT, "Html")[0].queryText()
    running = Listener()
    keys("space")
    subprocess.run(["xdotool", "mousemove", "--sync", "5", "5"], check=True)
    wait(lambda: html.getText(0, -1) == "#000000", "the pipette to sample the background")
    running.hears("checked", "the pipette's start")
    stopped = Listener()
    keys("space")
    stopped.hears("#000000, black", "the pipette's stop")
    if "notification" in running.text()[:len(running.text()) - len(stopped.text())].lower():
        raise Failure("the pipette's ticks were said: %r" % running.text())

    # The colour field's keys: the colour the mark lands on is said.
    back = Listener()
    keys("ctrl+shift+Tab")
    back.hears("notification Visual", "ctrl+shift+Tab from the pipette")
    field = find(main_window, pyatspi.ROLE_CANVAS)[0].name
    tab_to(field + " canvas")
    before = html.getText(0, -1)
    moved = Listener()
    keys("Page_Down")
    code = wait(lambda: html.getText(0, -1) if html.getText(0, -1) != before else None,
                "the colour field's key to change the colour")
    moved.hears("notification %s, " % code, "Page Down in the colour field")

    # Closing the window shows the about box, whose texts are said; Escape
    # closes it, and the program ends.
    closing = Listener()
    window_id = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                str(program.pid), "--name", "^Tintorel$"],
                               check=True, capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "xwait.py"),
                    "close", window_id], check=True)
    closing.hears("Version", "the about box")
    keys("Escape")
    if program.wait(timeout=LIMIT) != 0:
        raise Failure("the program ended with status %d" % program.returncode)
    print("orca: ok")


def say(message):
    print("orca: " + message, file=sys.stderr)
    if program is not None:
        program.kill()


run(main, say)
