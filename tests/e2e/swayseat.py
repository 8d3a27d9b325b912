"""The seat and screen of a headless Sway, shared by the scripts that drive
programs on it: swaymsg moves and clicks the seat's pointer, grim reads
the screen in logical units. Where the programs under test run on another
compositor nested in Sway, SEAT_WAYLAND_DISPLAY names Sway's display.
"""
import os
import subprocess


SEAT_ENV = dict(os.environ, WAYLAND_DISPLAY=os.environ.get("SEAT_WAYLAND_DISPLAY",
                                                          os.environ.get("WAYLAND_DISPLAY", "")))


def sway(*args):
    return subprocess.run(["swaymsg", *args], check=True, capture_output=True, text=True).stdout


def grab(x, y, width=1, height=1):
    """The screen's pixels in logical units, as rows of (r, g, b)."""
    data = subprocess.run(["grim", "-s", "1", "-t", "ppm", "-g",
                           "%d,%d %dx%d" % (x, y, width, height), "-"],
                          check=True, capture_output=True, env=SEAT_ENV).stdout
    # P6, width, height, maximum, each after one whitespace byte.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    at += 1
    w, h = int(fields[1]), int(fields[2])
    return [[tuple(data[at + 3 * (row * w + col):at + 3 * (row * w + col) + 3])
             for col in range(w)] for row in range(h)]


def pixel(x, y):
    return grab(x, y)[0][0]


def move(x, y):
    sway("seat", "seat0", "cursor", "set", str(x), str(y))


def click(x, y):
    move(x, y)
    sway("seat", "seat0", "cursor", "press", "button1")
    sway("seat", "seat0", "cursor", "release", "button1")
