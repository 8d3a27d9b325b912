#!/usr/bin/env bash
# What a screen reader meets, end to end: the real program, started by name
# as a desktop's launcher would (no set-up step), read through AT-SPI, the
# accessibility bus that Orca reads. Everything runs on buses and an X
# server of the test's own: a private session bus, the accessibility bus
# launcher on it, Xvfb; atspi_drive.py then starts the program three ways
# (a fresh account, stale folders, a misspelt language file) and reads its
# windows. Every process is ended here.
#
#   atspi.sh BUILD_DIR     (run it under scripts/with-xvfb)
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

source "$here/session-lib.sh"

export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
DBUS_SESSION_BUS_ADDRESS=$(private_bus session)
export DBUS_SESSION_BUS_ADDRESS
start launcher /usr/libexec/at-spi-bus-launcher --launch-immediately
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
/usr/bin/python3 "$here/atspi_drive.py" "$build" "$work"
