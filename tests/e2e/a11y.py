"""What the screen-reader tests share: waits for conditions and walks of
the program's tree on the accessibility bus. Each wait is for a condition;
the limit only bounds a failure."""
import os
import sys
import time

import pyatspi

LIMIT = float(os.environ.get("TINTOREL_WAIT_LIMIT", "300"))


class Failure(Exception):
    pass


def wait(condition, what):
    deadline = time.monotonic() + LIMIT
    error = None
    while True:
        try:
            value = condition()
        except Exception as raised:  # the tree may change under the reader
            value, error = None, raised
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("gave up waiting for %s%s" % (what, " (%r)" % error if error else ""))
        time.sleep(0.1)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Tintorel":
            return app
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def find(root, role, name=None):
    return [n for n in walk(root)
            if n.getRole() == role and (name is None or n.name == name)]


def window(app, role, title):
    for top in app:
        if top is not None and top.getRole() == role and top.name == title:
            return top
    return None


def run(main, say):
    """Runs `main`; a failure is said (with `say`) and ends the script."""
    try:
        main()
    except Failure as failure:
        say(str(failure))
        sys.exit(1)
