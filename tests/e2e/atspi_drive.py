"""Reads the real program's windows through AT-SPI, as a screen reader
does (see atspi.sh). Each wait is for a condition; the limit only bounds a
failure.

  atspi_drive.py BUILD_DIR WORK_DIR
"""
import os
import re
import signal
import subprocess
import sys

import pyatspi

from a11y import LIMIT, Failure, application, find, walk, window
import a11y

build, work = sys.argv[1], sys.argv[2]
program = None


def fail(message):
    print("accessibility: " + message, file=sys.stderr)
    if program is not None:
        program.kill()
    sys.exit(1)


def wait(condition, what):
    try:
        return a11y.wait(condition, what)
    except Failure as failure:
        fail(str(failure))


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


def settings(home):
    return os.path.join(home, ".config/VRQM/tintorel.reg")


def log(home):
    path = os.path.join(home, ".local/state/tintorel/tintorel.log")
    return open(path, encoding="utf-8").read() if os.path.exists(path) else ""


def start(name, stored=None):
    """The program with a home of its own, started by name: no set-up step,
    only the settings given."""
    global program
    home = os.path.join(work, name)
    os.makedirs(os.path.dirname(settings(home)))
    if stored:
        with open(settings(home), "w", encoding="utf-8") as out:
            out.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\File]\n")
            for key, value in stored.items():
                out.write('"%s"="%s"\n' % (key, value))
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME="", XDG_STATE_HOME="")
    program = subprocess.Popen([os.path.join(build, "app/tintorel")], env=env,
                               stdout=subprocess.DEVNULL, stderr=open(home + ".err", "w"))
    def started():
        # A program that ended at its start says why: no need to wait.
        if program.poll() is not None:
            with open(home + ".err", encoding="latin-1") as err:
                fail("the program (%s) ended at its start with status %d: %s"
                     % (name, program.returncode, err.read()[-2000:]))
        return application()
    app = wait(started, "the program on the accessibility bus (%s)" % name)
    return home, app


def stop(home):
    global program
    program.send_signal(signal.SIGTERM)
    if program.wait(timeout=LIMIT) != 0:
        fail("the program ended with status %d" % program.returncode)
    program = None
    # A list was offered and chosen: its name is saved on the way out.
    chosen = re.search(r'^"ColorFile"="(.+)"$', open(settings(home), encoding="utf-8").read(),
                       re.MULTILINE)
    if chosen is None:
        fail("no colour list was chosen")


def check_main(app, names):
    """The main window: a frame with its title, each slider and number named
    after its label with a value and range, the glyph buttons, the codes, the
    preview and the colour field named."""
    main = wait(lambda: window(app, pyatspi.ROLE_FRAME, "Tintorel"), "the main window's frame")
    for role, what in ((pyatspi.ROLE_SLIDER, "slider"), (pyatspi.ROLE_SPIN_BUTTON, "number")):
        for name in names["sliders"]:
            found = find(main, role, name)
            if not found:
                fail("no %s named %r" % (what, name))
            value = found[0].queryValue()
            if value.maximumValue not in (100, 255, 360) or value.currentValue != 0:
                fail("%s %r reads %s of %s" % (what, name, value.currentValue, value.maximumValue))
    # The pipette is a button that stays down: Qt tells of it as a check box.
    for name in names["buttons"]:
        if not [n for n in walk(main) if n.name == name and n.getRole() in
                (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX)]:
            fail("no button named %r" % name)
    for name in ("Html", "Visual Basic"):
        if not [n for n in walk(main) if n.name == name and n.getRole() in
                (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)]:
            fail("no code field named %r" % name)
    previews = [n for n in walk(main) if n.name == names["preview"]]
    if not previews or previews[0].description != "#000000":
        fail("the preview is not named and described: %r" % previews)
    fields = find(main, pyatspi.ROLE_CANVAS, names["field"])
    if not fields:
        fail("no colour field named %r" % names["field"])
    # Its value: the colour under its mark, which it holds while its page is
    # not shown.
    field = fields[0]
    code = field.description
    if not field.getState().contains(pyatspi.STATE_FOCUSABLE) or len(code) != 7 or \
            code[0] != "#" or any(c not in "0123456789abcdef" for c in code[1:]):
        fail("the colour field is not focusable with its colour: %r" % code)
    return main


def check_preferences(app, main, names):
    # As a keyboard user opens it: the focus on its button, then Space. (The
    # button's action would wait for the modal dialog to end before it
    # answered.)
    button = find(main, pyatspi.ROLE_PUSH_BUTTON, names["preferences"])[0]
    xdotool = ["xdotool", "search", "--sync", "--all", "--pid", str(program.pid), "--name",
               "^Tintorel$", "windowfocus", "--sync"]
    subprocess.run(xdotool, check=True)
    wait(lambda: main.getState().contains(pyatspi.STATE_ACTIVE), "the main window active")
    button.queryComponent().grabFocus()
    wait(lambda: button.getState().contains(pyatspi.STATE_FOCUSED), "the focus on the button")
    subprocess.run(xdotool + ["key", "space"], check=True)
    dialog = wait(lambda: window(app, pyatspi.ROLE_DIALOG, names["preferences"]),
                  "the preferences")
    small = find(dialog, pyatspi.ROLE_RADIO_BUTTON, names["small"])
    if not small or not small[0].getState().contains(pyatspi.STATE_CHECKED):
        fail("no checked pipette size named %r" % names["small"])
    for name in names["boxes"]:
        if not find(dialog, pyatspi.ROLE_CHECK_BOX, name):
            fail("no check box named %r" % name)
    press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, names["cancel"])[0])
    wait(lambda: not dialog.getState().contains(pyatspi.STATE_SHOWING),
         "the preferences to close")


english = {
    "sliders": ("Red", "Green", "Blue"), "buttons": ("Pipette", "Preferences"),
    "preview": "Color preview", "field": "Hue/Lightness", "preferences": "Preferences",
    "small": "Small (1 pixel)", "boxes": ("RGB", "Color names", "Visual Basic"),
    "cancel": "Cancel",
}
french = dict(english, sliders=("Rouge", "Vert", "Bleu"), buttons=("Pipette", "Préférences"),
              preview="Aperçu de la couleur", field="Teinte/Luminosité",
              preferences="Préférences", small="Petite (1 pixel)",
              boxes=("RVB", "Nom", "Visual Basic"), cancel="Annuler")

shipped = os.path.join(build, "data") + "/"
runs = (
    ("fresh", None, english,
     ["Using %scolours/: the setting ColorDir is missing" % shipped,
      "Using %slanguages/english.txt: the setting LocaleFile is missing" % shipped]),
    ("stale", {"ColorDir": "/gone/colours/", "LocaleDir": "/gone/languages/",
               "LocaleFile": "french.txt"}, french,
     ["Using %scolours/: the setting ColorDir names no folder (/gone/colours/)" % shipped,
      "Using %slanguages/: the setting LocaleDir names no folder" % shipped]),
    ("misspelt", {"LocaleDir": shipped + "languages/", "LocaleFile": "frnch.txt"}, english,
     ["Using %slanguages/english.txt: the language file frnch.txt cannot be read" % shipped]),
)
for name, stored, names, lines in runs:
    home, app = start(name, stored)
    main = check_main(app, names)
    check_preferences(app, main, names)
    text = log(home)
    for line in lines:
        if line not in text:
            fail("%s: the log lacks %r:\n%s" % (name, line, text))
    stop(home)
    print("accessibility: %s start ok" % name)
print("accessibility: ok")
