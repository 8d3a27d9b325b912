"""Checks what a scripted session left: the settings file and the log."""
import struct
import sys

reg_path, log_path = sys.argv[1], sys.argv[2]
values = {}
for line in open(reg_path, encoding="latin-1").read().splitlines():
    if line.startswith('"') and "=" in line:
        name, data = line.split("=", 1)
        values[name.strip('"')] = data


def real(name):
    data = values[name]
    assert data.startswith("hex:"), (name, data)
    return struct.unpack("<d", bytes(int(b, 16) for b in data[4:].split(",")))[0]


def dword(name):
    return int(values[name][len("dword:"):], 16)


# The pipette's last sample on the RGB page: the background, exactly.
red, green, blue = (round(real(c) * 255) for c in ("Red", "Green", "Blue"))
assert (red, green, blue) == (12, 61, 90), (red, green, blue)
assert dword("Tab") == 0, values["Tab"]
# The set-up step chose the web colours for the first start.
assert values["ColorFile"] == '"web.txt"', values["ColorFile"]
# Written by the preferences' OK: every page shown, and the smallest size,
# which the dialog shows when none was stored.
for name in ("RgbVis", "HlsVis", "HsvVis", "CmyVis", "CmykVis", "NameVis", "VisualVis",
             "OklchVis", "HtmlVis", "VisualBasicVis"):
    assert dword(name) == 1, name
assert dword("Size") == 1
assert values["HlsRange"] == '"360 255 255"', values["HlsRange"]
# The list pick went through the Name page.
assert "TMainForm::PageControlChanged - Begin" in open(log_path, encoding="latin-1").read()

log = open(log_path, encoding="latin-1").read().splitlines()
assert log[:2] == ["-- Tintorel --", "-- Begin of session --"], log[:3]
assert "TMainForm::btnPrefClick - Begin" in log, log
assert log[-5:-2] == ["TMainForm::OnClose - Begin", "TMainForm::OnClose - End",
                      "-- End of session --"], log[-6:]
print("state: colour %d, %d, %d on page %d" % (red, green, blue, dword("Tab")))
