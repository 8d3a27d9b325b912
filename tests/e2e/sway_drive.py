"""Drives the real program on a headless Sway (see sway.sh).

Sway's IPC says where each window is and moves and clicks the seat's
pointer; grim reads the screen. Windows of four known colours fill both
outputs, the second at scale 2; the main window floats over the first.
Each case starts the pipette with its button, moves the pointer, waits for
the magnifier to show the pixel under it, ends the pipette with a click
(or Escape) and reads the colour taken from the preview. Every wait is for
a condition; the limit only bounds a failure.

  sway_drive.py BUILD_DIR WORK_DIR [bench]
"""
import json
import os
import subprocess
import sys
import time

from drive import Session, cpu_share, edit_settings, log_text
from swayseat import click, move, pixel, sway

build, work = sys.argv[1], sys.argv[2]
session = Session("sway session", build, work)
fail, wait, start = session.fail, session.wait, session.start

RED, BLUE, GREEN, INK = (255, 0, 0), (0, 0, 255), (0, 255, 0), (12, 61, 90)
WHITE = (255, 255, 255)
# The magnifier: a square canvas of 69 pixels showing 9 x 9 screen pixels,
# the sampled square framed in white in its centre.
CANVAS, SHOWN, RADIUS = 69, 9, 4


def nodes(node=None):
    node = node or json.loads(sway("-r", "-t", "get_tree"))
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from nodes(child)


def window(pid):
    """The content rectangle (x, y, width, height) of the window of process
    `pid`, once it is mapped."""
    for node in nodes():
        if node.get("pid") == pid and node.get("visible"):
            rect, inner = node["rect"], node["window_rect"]
            return rect["x"] + inner["x"], rect["y"] + inner["y"], inner["width"], inner["height"]
    return None


def store_pipette_size(size):
    edit_settings({"Pipette": {"Size": "dword:%08x" % size}})


class Program:
    """The main window with one pipette size."""

    def __init__(self, size, **env):
        store_pipette_size(size)
        self.size = size
        self.layout = session.controls("btnCapture", "pnlImage", QT_QPA_PLATFORM="wayland")
        self.process = start("tintorel-%d" % size, os.path.join(build, "app/tintorel"),
                             QT_QPA_PLATFORM="wayland", **env)
        self.origin = wait(lambda: window(self.process.pid), "the main window")[:2]
        expected = "desktop's portal" if env else "compositor's wlroots protocols"
        if ("reads the screen through the " + expected) not in wait(log_text, "the session log"):
            fail("the program did not read the screen through the %s:\n%s"
                 % (expected, log_text()))

    def press(self):
        """Focuses the main window through Sway (and checks that it has the
        focus), then clicks the pipette button."""
        pid = self.process.pid
        sway("[pid=%d] focus" % pid)
        wait(lambda: any(node.get("pid") == pid and node.get("focused") for node in nodes()),
             "the main window's focus")
        x, y, width, height = self.layout["btnCapture"]
        click(*self.spot("btnCapture", width // 2, height // 2))

    def spot(self, name, dx, dy):
        x, y, _, _ = self.layout[name]
        return self.origin[0] + x + dx, self.origin[1] + y + dy

    def preview(self, x, y):
        return pixel(*self.spot("pnlImage", x, y))

    def frame_pixel(self):
        """A pixel of the white frame around the sampled square, while the
        magnifier shows; the preview's colour once the pipette stopped."""
        h = (self.size - 1) // 2
        return self.preview(int((RADIUS - h) / SHOWN * CANVAS + 1), CANVAS // 2)

    def sample(self, at, under, taken, end="click", via=None):
        """Runs the pipette over `at` until the magnifier shows `under`,
        ends it and expects the preview to show `taken`. With `via` (a
        point and its colour), the pipette first shows that point, and
        the click on `at` comes at once, before any tick saw it there."""
        self.press()
        # Over our own window (the button) the magnifier shows nothing new:
        # it is drawn, framed, once the pointer is elsewhere.
        point, colour = via or (at, under)
        move(*point)
        shown = [None]

        def showing():
            shown[0] = self.preview(CANVAS // 2, CANVAS // 2)
            return self.frame_pixel() == WHITE and shown[0] == colour
        wait(showing, lambda: "the magnifier to show %s at %s (it shows %s)"
             % (colour, point, shown[0]))
        if end == "click":
            click(*at)
        else:
            subprocess.run(["wtype", "-k", "Escape"], check=True)
        wait(lambda: self.frame_pixel() != WHITE, "the pipette to stop (%s)" % end)
        points = [(2, 2), (CANVAS // 2, CANVAS // 2), (CANVAS - 3, CANVAS - 3)]
        shown = [self.preview(*point) for point in points]
        if shown != [taken] * 3:
            fail("size %d at %s: took %s, not %s" % (self.size, at, shown, taken))
        print("size %d at %s: %s" % (self.size, at, taken))

    def close(self):
        self.process.terminate()
        self.process.wait()


def compositor():
    """The compositor's process id: the one whose IPC socket this is."""
    return int(os.path.basename(os.environ["SWAYSOCK"]).split(".")[2])


def bench(program):
    """The pipette's cost to the program and the compositor with the
    pointer still and moving, against the pipette off, and how soon a
    pointer move shows as the sampled colour."""
    sway_pid = compositor()
    pid = program.process.pid
    idle = cpu_share(pid, 5), cpu_share(sway_pid, 5)
    x, y, width, height = program.layout["btnCapture"]
    click(*program.spot("btnCapture", width // 2, height // 2))
    move(700, 40)
    centre = lambda: program.preview(CANVAS // 2, CANVAS // 2)
    wait(lambda: centre() == RED, "the magnifier over red")
    still = cpu_share(pid, 5), cpu_share(sway_pid, 5)
    steps = [0]

    def wiggle():
        steps[0] += 1
        move(700 + steps[0] % 20, 40 + steps[0] % 7)
    moving = cpu_share(pid, 5, wiggle)
    delays = []
    for i in range(10):
        target, colour = ((1260, 40), BLUE) if i % 2 == 0 else ((700, 40), RED)
        begun = time.monotonic()
        move(*target)
        wait(lambda: centre() == colour, "the magnifier to follow")
        delays.append(time.monotonic() - begun)
    click(700, 40)
    wait(lambda: program.frame_pixel() != WHITE, "the pipette to stop")
    after = cpu_share(pid, 5), cpu_share(sway_pid, 5)
    delays.sort()
    median = (delays[4] + delays[5]) / 2
    print("pipette off: program %.2f %%, compositor %.2f %% of one core" % idle)
    print("pipette on, pointer still: program %.2f %%, compositor %.2f %% (target below 1)"
          % still)
    print("pipette on, pointer moving: program %.2f %% of one core" % moving)
    print("pipette off again: program %.2f %%, compositor %.2f %%" % after)
    print("pointer move to sampled colour: median %.0f ms, %.2f ticks (target 2), worst %.0f ms"
          % (median * 1000, median / 0.25, delays[-1] * 1000))


# Known colours on both outputs: red | blue over green | ink, on the first
# output in 640 x 480 units, on the second (scale 2) in 640 x 600.
first = start("quadrants-1", os.path.join(build, "tests/e2e/e2e_quadrants"),
              QT_QPA_PLATFORM="wayland")
wait(lambda: window(first.pid), "the first quadrants")
sway("workspace", "2")
second = start("quadrants-2", os.path.join(build, "tests/e2e/e2e_quadrants"),
               QT_QPA_PLATFORM="wayland")
wait(lambda: window(second.pid), "the second quadrants")
sway("workspace", "1")
wait(lambda: pixel(1260, 590) == INK and pixel(630, 470) == INK, "the quadrants drawn")

# Told to use the portal, the program falls back to the desktop's one-shot
# pick: xdg-desktop-portal-wlr lets the user click a point (slurp) and
# reads it (grim). A press asks once and the button is released with the
# colour; Escape at the desktop's picker cancels, and the log says so.
# (First: slurp crashes once a keyboard like wtype's Escape came and went.
# xdg-desktop-portal-wlr 0.7 answers no pick at all while an output is
# scaled: the second output is at scale 1 meanwhile.)
sway("output", "HEADLESS-2", "scale", "1")
wait(lambda: pixel(1900, 1180) == INK, "the second output at scale 1")
program = Program(1, TINTOREL_SCREEN_READER="portal")
for at, colour in (((20, 460), GREEN), ((620, 20), BLUE)):
    program.press()
    # The picker (slurp) veils the screen once it is ready for a click.
    wait(lambda: pixel(*at) != colour, "the desktop's picker to veil the screen")
    click(*at)
    wait(lambda: program.preview(2, 2) == colour,
         "the desktop's picker to take %s at %s" % (colour, at))
    print("one-shot pick at %s: %s" % (at, colour))
stopped = log_text().count("Pipette stopped: PickColor")
program.press()
wait(lambda: pixel(20, 460) != GREEN, "the desktop's picker to veil the screen")
subprocess.run(["wtype", "-k", "Escape"], check=True)
wait(lambda: log_text().count("Pipette stopped: PickColor") > stopped,
     "the cancelled pick in the log")
print("cancelled pick: " + log_text().rsplit("Pipette stopped: ", 1)[1].splitlines()[0])
program.close()
sway("output", "HEADLESS-2", "scale", "2")
wait(lambda: pixel(1260, 590) == INK, "the second output at scale 2")

program = Program(1)
program.sample((700, 40), RED, RED)
program.sample((1260, 590), INK, INK)
program.sample((20, 20), RED, RED)
program.sample((1260, 40), BLUE, BLUE, end="Escape")
# The click takes the colour where it happens, not the last tick's.
program.sample((20, 460), GREEN, GREEN, via=((700, 40), RED))
if len(sys.argv) > 3 and sys.argv[3] == "bench":
    bench(program)
program.close()

# Our own window is never sampled: over it the colour taken before stays,
# whether the pipette ends with a click on its button, or with Escape after
# the pointer crossed the window back to the button.
program = Program(1)
x, y, width, height = program.layout["btnCapture"]
button = program.spot("btnCapture", width // 2, height // 2)
program.sample(button, RED, RED, via=((700, 40), RED))
program.press()
move(20, 460)
wait(lambda: program.frame_pixel() == WHITE
     and program.preview(CANVAS // 2, CANVAS // 2) == GREEN, "the magnifier over green")
move(program.origin[0] + 3, program.origin[1] + 3)
move(*button)
subprocess.run(["wtype", "-k", "Escape"], check=True)
wait(lambda: program.frame_pixel() != WHITE, "the pipette to stop with Escape over the window")
if program.preview(2, 2) != GREEN:
    fail("Escape over the window: took %s, not %s" % (program.preview(2, 2), GREEN))
print("own window: never sampled")
program.close()

# The seam of red and blue on the scale-2 output, in its own pixels: one
# red column and two blue ones. On the scale-1 output's last column, its
# own pixels too: two of its blue columns and the one red pixel of the
# scale-2 output under the third one's centre.
program = Program(3)
program.sample((960, 40), BLUE, (85, 0, 170))
program.sample((639, 40), BLUE, (85, 0, 170))
program.close()


def second_output():
    """The second output's place in logical units (x, y, width, height)."""
    for output in json.loads(sway("-r", "-t", "get_outputs")):
        if output["name"] == "HEADLESS-2":
            rect = output["rect"]
            return rect["x"], rect["y"], rect["width"], rect["height"]
    fail("no second output")


# A turned output hands over its pixels turned: each quadrant of the
# second output, turned every way, reads as the colour it shows, and the
# 3 x 3 square at its seam covers its own pixels (one red column, two
# blue). The program runs on while the output turns under it.
program = Program(1)
seam = Program(3)
for transform in ("90", "180", "270", "flipped-90"):
    sway("output", "HEADLESS-2", "transform", transform)
    x, y, width, height = second_output()
    quadrants = (((x + 60, y + 40), RED), ((x + width - 60, y + 40), BLUE),
                 ((x + 60, y + height - 40), GREEN), ((x + width - 60, y + height - 40), INK))
    wait(lambda: all(pixel(*at) == colour for at, colour in quadrants),
         "the quadrants drawn on the output turned %s" % transform)
    for at, colour in quadrants:
        program.sample(at, colour, colour)
    seam.sample((x + width // 2, y + 40), BLUE, (85, 0, 170))
    print("output turned %s: ok" % transform)
program.close()
seam.close()
sway("output", "HEADLESS-2", "transform", "normal")

# At a fractional scale (1.5) each pixel of the output's own is sampled,
# not its neighbour: a window there gives each of its pixels a colour of
# its own, and grim reads the whole output in its own pixels for the truth
# (a mode of 1200 x 1200 is 800 x 800 units exactly, so grim resamples
# nothing).
sway("output", "HEADLESS-2", "mode", "1200x1200", "scale", "1.5")
sway("workspace", "2")
gradient = start("gradient", os.path.join(build, "tests/e2e/e2e_quadrants"), "Gradient",
                 "gradient", QT_QPA_PLATFORM="wayland")
gx, gy, gw, gh = wait(lambda: window(gradient.pid), "the gradient window")
sway("workspace", "1")
ox, oy, ow, oh = second_output()
if gx < ox:
    fail("the gradient window is not on the second output: %s" % ((gx, gy, gw, gh),))
mode = next(o["current_mode"] for o in json.loads(sway("-r", "-t", "get_outputs"))
            if o["name"] == "HEADLESS-2")
ratio_x, ratio_y = mode["width"] / ow, mode["height"] / oh
x0, y0 = gx + gw // 2, gy + gh // 2


def own_pixels():
    """The second output in its own pixels: its width and its rows."""
    data = subprocess.run(["grim", "-o", "HEADLESS-2", "-s", repr(ratio_x), "-t", "ppm", "-"],
                          check=True, capture_output=True).stdout
    # P6, width, height, maximum, each ended by one white space byte.
    magic, width, height, maximum = data.split(maxsplit=4)[:4]
    header = len(magic) + len(width) + len(height) + len(maximum) + 4
    return int(width), data[header:]


def own_pixel(shot, x, y):
    """The output's own pixel under the logical point (x, y)."""
    width, rows = shot
    at = 3 * (int((y - oy) * ratio_y) * width + int((x - ox) * ratio_x))
    return tuple(rows[at:at + 3])


wait(lambda: len({own_pixel(own_pixels(), x0 + k, y0) for k in range(4)}) == 4,
     "the gradient drawn")
program = Program(1)
# The truth is read afresh at each look: the desktop may still be laying
# the windows out after the change of mode.
for dx, dy in ((0, 0), (1, 0), (2, 0), (3, 1)):
    at = (x0 + dx, y0 + dy)
    program.press()
    move(*at)
    seen = [None, None]

    def showing():
        seen[:] = [program.preview(CANVAS // 2, CANVAS // 2), own_pixel(own_pixels(), *at)]
        return program.frame_pixel() == WHITE and seen[0] == seen[1]
    wait(showing, lambda: "the magnifier to show the output's pixel %s at %s (it shows %s)"
         % (seen[1], at, seen[0]))
    click(*at)
    wait(lambda: program.frame_pixel() != WHITE, "the pipette to stop at %s" % (at,))
    if program.preview(2, 2) != own_pixel(own_pixels(), *at):
        fail("at %s: took %s, not %s" % (at, program.preview(2, 2), own_pixel(own_pixels(), *at)))
    print("scale 1.5 at %s: %s" % (at, program.preview(2, 2)))
program.close()
gradient.terminate()
gradient.wait()
sway("output", "HEADLESS-2", "mode", "1280x1200", "scale", "2")
wait(lambda: pixel(1260, 590) == INK, "the second output as it was")
print("output at scale 1.5: each pixel of its own")

# Across the seam of the two outputs: three columns of the first output's
# blue (each of its pixels two of the second's) and four of the second's
# red. At the bottom of the shorter output, only its own rows count: the
# two below it lie on no output.
program = Program(7)
program.sample((640, 40), RED, (146, 0, 109))
program.sample((600, 479), INK, INK)
program.close()


# An output plugged in while the pipette runs: it gets an overlay too, so
# the pipette sees the pointer there and a click there ends it.
program = Program(1)
program.press()
move(700, 40)
wait(lambda: program.frame_pixel() == WHITE, "the magnifier's frame")
known = {output["name"] for output in json.loads(sway("-r", "-t", "get_outputs"))}
sway("create_output")


def plugged():
    for output in json.loads(sway("-r", "-t", "get_outputs")):
        if output["name"] not in known and output["rect"]["width"] > 0:
            return output["rect"]
    return None


rect = wait(plugged, "the plugged-in output")
at = (rect["x"] + rect["width"] // 2, rect["y"] + rect["height"] // 2)
move(*at)
# What the new output shows is read afresh each time: its first frames may
# not be drawn yet.
wait(lambda: program.preview(CANVAS // 2, CANVAS // 2) == pixel(*at),
     "the magnifier to show the pixel at %s on the plugged-in output" % (at,))
under = pixel(*at)
click(*at)
wait(lambda: program.frame_pixel() != WHITE, "the pipette to stop with a click there")
if program.preview(2, 2) != under:
    fail("on the plugged-in output: took %s, not %s" % (program.preview(2, 2), under))
print("plugged-in output at %s: %s" % (at, under))
program.close()

session.end()
print("sway session: ok")
