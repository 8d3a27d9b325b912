"""Shared by the scripts that drive the real program on a desktop: waits
for conditions, the processes they start, the program's log, settings and
control positions, and CPU shares for the benchmarks.

Every wait is for a condition; the limit only bounds a failure (the
mutation check, which expects failures, asks for less).
"""
import json
import os
import struct
import subprocess
import sys
import time

LIMIT = float(os.environ.get("TINTOREL_WAIT_LIMIT", "300"))


class Session:
    """`name` starts each failure message; `before_failing`, when given,
    adds to a failure what the desktop shows then."""

    def __init__(self, name, build, work, before_failing=None):
        self.name, self.build, self.work = name, build, work
        self.before_failing = before_failing
        self.processes = []

    def fail(self, message):
        print("%s: %s" % (self.name, message), file=sys.stderr)
        if self.before_failing:
            self.before_failing()
        for process in self.processes:
            process.kill()
        sys.exit(1)

    def wait(self, condition, what):
        """Waits until `condition` gives a true value, and gives it; `what`
        is said when it never does (a callable: asked then)."""
        deadline = time.monotonic() + LIMIT
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                self.fail("gave up waiting for " + (what() if callable(what) else what))
            time.sleep(0.05)

    def start(self, name, *command, **env):
        log = open(os.path.join(self.work, name + ".log"), "w")
        process = subprocess.Popen(command, stdout=log, stderr=subprocess.STDOUT,
                                   env=dict(os.environ, **env))
        self.processes.append(process)
        return process

    def end(self):
        for process in self.processes:
            process.terminate()
            process.wait()

    def controls(self, *names, **env):
        """Where the main window's controls lie, in the window's own pixels,
        as the program lays them out on this desktop with these settings."""
        probe = subprocess.run([os.path.join(self.build, "tests/e2e/e2e_geometry"), *names],
                               env=dict(os.environ, **env), capture_output=True, text=True)
        if probe.returncode != 0:
            self.fail("the geometry probe failed: " + probe.stderr[-3000:])
        found = {}
        for line in probe.stdout.splitlines():
            name, x, y, width, height = line.split()
            found[name] = (int(x), int(y), int(width), int(height))
        return found


def log_text():
    path = os.path.join(os.environ["HOME"], ".local/state/tintorel/tintorel.log")
    return open(path, encoding="latin-1").read() if os.path.exists(path) else ""


def settings_file():
    return os.path.join(os.environ["HOME"], ".config/VRQM/tintorel.reg")


def edit_settings(values, removed=()):
    """Sets values in the stored settings as a hand edit would: `values`
    maps a section (the last part of its key) to value names and their
    stored texts ("dword:00000003"); the names in `removed` go wherever
    they are."""
    lines, section = [], None
    for line in open(settings_file(), encoding="latin-1").read().splitlines():
        if line.startswith("["):
            section = line.rstrip("]").rsplit("\\", 1)[-1]
            lines.append(line)
            lines.extend('"%s"=%s' % item for item in values.get(section, {}).items())
            continue
        name = line.split("=", 1)[0].strip('"')
        if name not in removed and name not in values.get(section, {}):
            lines.append(line)
    open(settings_file(), "w", encoding="latin-1").write("\n".join(lines) + "\n")


def mark_and_size(colour, size):
    """Settings for edit_settings: the current colour (bytes) and the
    pipette's size."""
    def real(value):
        return "hex:" + ",".join("%02x" % b for b in struct.pack("<d", value))
    return {"Color": {name: real(byte / 255.0) for name, byte in zip(("Red", "Green", "Blue"),
                                                                     colour)},
            "Pipette": {"Size": "dword:%08x" % size}}


def pipette_streams():
    """How many screen-casting streams the program has open in PipeWire."""
    dump = subprocess.run(["pw-dump"], capture_output=True, text=True).stdout
    # Objects that change while it reads come as further arrays.
    items, at, decoder = [], 0, json.JSONDecoder()
    while dump[at:].strip():
        value, at = decoder.raw_decode(dump, len(dump) - len(dump[at:].lstrip()))
        items.extend(value)
    return sum(1 for item in items
               if item.get("type") == "PipeWire:Interface:Node"
               and ((item.get("info") or {}).get("props") or {}).get("media.name")
               == "Tintorel pipette")


def cpu_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def cpu_share(pid, seconds, during=None):
    """The share of one core process `pid` used over `seconds`, while
    `during` (if given) is called again and again."""
    before, begun = cpu_seconds(pid), time.monotonic()
    while time.monotonic() - begun < seconds:
        if during:
            during()
        time.sleep(0.05)
    return 100.0 * (cpu_seconds(pid) - before) / (time.monotonic() - begun)
