"""Drives the real program on KDE Plasma's portal (see kde.sh).

KWin's two outputs lie side by side on Sway's screen, 800 x 600 each, so
Sway's seat points and clicks into them and grim reads them. The portal's
dialog opens centred on the first output, where the main window is; the
user ticks both outputs and shares them. KWin sends no picture here, so
every start of the pipette ends with the program saying so; what the test
checks is the conversation: two streams open for the two outputs, the
restore token kept and honoured without a dialog, a token the portal
refuses dropped so that the dialog shows again, and the streams gone
whenever the pipette stops. Every wait is for a condition;
the limit only bounds a failure.

  kde_drive.py BUILD_DIR WORK_DIR
"""
import os
import re
import sys

from drive import Session, edit_settings, log_text, mark_and_size, pipette_streams, settings_file
from swayseat import click, grab, move, pixel

build, work = sys.argv[1], sys.argv[2]
session = Session("kde session", build, work)
fail, wait, start = session.fail, session.wait, session.start

OUTPUT = (800, 600)
MARK = (201, 7, 133)
NO_PICTURE = "Pipette stopped: the desktop sends no picture"

# The dialog, centred on the first output: the cards of the two outputs
# (a point on each caption, and one on each card's body, which turns blue
# once ticked), and its Share button.
CENTRE = (OUTPUT[0] // 2, OUTPUT[1] // 2)
CARDS = [((CENTRE[0] - 114, CENTRE[1] + 149), (CENTRE[0] - 170, CENTRE[1] + 170)),
         ((CENTRE[0] + 107, CENTRE[1] + 149), (CENTRE[0] + 50, CENTRE[1] + 170))]
SHARE = (CENTRE[0] + 114, CENTRE[1] + 242)


def light(colour):
    return sum(colour) > 600


def bluish(colour):
    return colour[2] > colour[0] + 20 and light(colour)


def dialog_shown():
    # Below the main window the screen is black but for the dialog.
    return light(pixel(*CARDS[0][1]))


def find(colour, area):
    """The top-left corner of `colour` within an area (x, y, width, height)
    of the screen."""
    rows = grab(*area)
    for y, row in enumerate(rows):
        if colour in row:
            return area[0] + row.index(colour), area[1] + y
    return None


class Program:
    def __init__(self, run):
        move(*CENTRE)  # new windows open on the output under the pointer
        self.process = start("tintorel-%d" % run, os.path.join(build, "app/tintorel"),
                             QT_QPA_PLATFORM="wayland")
        corner = wait(lambda: find(MARK, (0, 0) + OUTPUT), "the main window's preview")
        preview = layout["pnlImage"]
        self.origin = corner[0] - preview[0], corner[1] - preview[1]
        if "reads the screen through the desktop's portal" not in wait(log_text, "the log"):
            fail("the program did not read the screen through the portal:\n" + log_text())

    def press(self):
        """Clicks the pipette button once the pointer's hover shows on it (a
        click that came before the window took the pointer would be lost)."""
        # The log starts afresh with each run of the program.
        self.stops = log_text().count(NO_PICTURE)
        x, y, width, height = layout["btnCapture"]
        edge = self.origin[0] + x + 1, self.origin[1] + y + 1
        plain = pixel(*edge)
        centre = self.origin[0] + x + width // 2, self.origin[1] + y + height // 2
        move(*centre)
        wait(lambda: pixel(*edge) != plain, "the pipette button's hover")
        click(*centre)

    def end(self):
        self.process.terminate()
        self.process.wait()


def share():
    wait(dialog_shown, "the screen-sharing dialog")
    for caption, body in CARDS:
        click(*caption)
        # Away from the card, so that its blue is the tick, not the hover.
        move(*SHARE)
        wait(lambda: bluish(pixel(*body)), "an output ticked in the dialog")
    click(*SHARE)
    wait(lambda: not dialog_shown(), "the dialog to close")


def streams_then_stop(program, dialog_allowed=True):
    """While the pipette runs: one stream an output. Then the stop, since
    no picture comes, and no stream left."""
    def stopped():
        return log_text().count(NO_PICTURE) > program.stops

    def both_open():
        if not dialog_allowed and dialog_shown():
            fail("the desktop asked again despite the stored token")
        if stopped():
            fail("the pipette stopped before its streams were seen")
        return pipette_streams() == 2
    wait(both_open, "a stream for each output")
    wait(stopped, "the pipette to stop without pictures")
    wait(lambda: pipette_streams() == 0, "the streams to close with the pipette")


def stored_token():
    found = re.search(r'^"ScreenCastToken"="([^"]*)"', open(settings_file(), encoding="latin-1").read(),
                      re.MULTILINE)
    return found.group(1) if found else ""


UUID = re.compile(r"^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$")

edit_settings(mark_and_size(MARK, 3))
layout = session.controls("btnCapture", "pnlImage", QT_QPA_PLATFORM="wayland")

# The first use: the dialog, both outputs shared.
program = Program(1)
program.press()
share()
streams_then_stop(program)
print("first use: both outputs shared; " + NO_PICTURE)
program.end()
token = stored_token()
if not UUID.match(token):
    fail("no restore token kept: %r" % token)

# The stored token spares the dialog.
program = Program(2)
program.press()
streams_then_stop(program, dialog_allowed=False)
print("with the stored token: no dialog")
program.end()

# A token the portal cannot read: dropped, and the dialog shows again; what
# the user shares then is kept under a new token. (Not declined here: KDE's
# portal of Plasma 5.27 at times crashes when its dialog is cancelled; the
# GNOME test and the fake portal's cover a declined dialog.)
edit_settings({"Pipette": {"ScreenCastToken": '"not-a-uuid"'}})
program = Program(3)
program.press()
share()
streams_then_stop(program)
program.end()
if not UUID.match(stored_token()) or stored_token() == token:
    fail("no new restore token kept: %r" % stored_token())
print("a refused token: the dialog again, and a new token")
session.end()
print("kde session: ok")
