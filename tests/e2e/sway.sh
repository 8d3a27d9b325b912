#!/usr/bin/env bash
# The pipette on a wlroots compositor, end to end: a headless Sway with two
# outputs, the second at scale 2, a virtual pointer and keyboard for its
# seat, windows of known colours, and the desktop portal with its wlroots
# back end on a bus of the test's own; then sway_drive.py runs the real
# program against it. Every process is started here and ended here.
#
# Sway refuses to run as root: as root, the test runs it as "nobody" and
# talks to it across the user boundary (root may open any socket).
#
#   sway.sh BUILD_DIR [bench]
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

KEEP_VARIABLE=SWAY_KEEP
source "$here/session-lib.sh"
chmod 755 "$work"

private_home
sway_user "$XDG_RUNTIME_DIR"

# A cursor theme whose every cursor is one transparent pixel: the headless
# compositor draws the pointer into the outputs' pictures, where the
# portal's picker would read it.
mkdir -p "$work/icons/transparent/cursors"
/usr/bin/python3 - "$work/icons/transparent/cursors" <<'PYTHON'
import os, struct, sys
image = struct.pack("<9I", 36, 0xFFFD0002, 1, 1, 1, 1, 0, 0, 0) + struct.pack("<I", 0)
cursor = b"Xcur" + struct.pack("<3I", 16, 0x10000, 1) + struct.pack("<3I", 0xFFFD0002, 1, 28) + image
for name in ("default", "left_ptr", "crosshair", "cross", "text", "xterm", "pointer", "hand2"):
    open(os.path.join(sys.argv[1], name), "wb").write(cursor)
PYTHON
chmod -R a+rX "$work/icons"
export XCURSOR_PATH=$work/icons XCURSOR_THEME=transparent XCURSOR_SIZE=1
# Two outputs side by side: 640 x 480 at scale 1, then 640 x 600 units at
# scale 2, so the first is the shorter one. No XWayland: every client here
# is a Wayland one. Windows of known colours fill both outputs; the main
# window floats over the first.
cat > "$work/config" <<EOF
xwayland disable
seat seat0 xcursor_theme transparent 1
output HEADLESS-1 resolution 640x480 position 0 0 scale 1
output HEADLESS-2 resolution 1280x1200 position 640 0 scale 2
default_border none
default_floating_border none
focus_follows_mouse no
workspace 1 output HEADLESS-1
workspace 2 output HEADLESS-2
for_window [app_id="org.tintorel.Tintorel"] floating enable
EOF
chmod 644 "$work/config"
start sway env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_HEADLESS_OUTPUTS=2 HOME="$work" "${as_compositor[@]}" sway -c "$work/config"
wait_for "ls $XDG_RUNTIME_DIR/sway-ipc.*.sock >/dev/null 2>&1 && [ -S $XDG_RUNTIME_DIR/wayland-1 ]"
export WAYLAND_DISPLAY=wayland-1
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
export SWAYSOCK
wait_for "swaymsg -t get_outputs >/dev/null 2>&1"

# A mouse and a keyboard for the seat, for the whole test: the program
# sees both from its start.
start pointer "$build/tests/e2e/e2e_virtualpointer"
wait_for "grep -q ready $work/pointer.log"
# The keyboard types Shift once, so that it has a layout from the start
# (slurp, the portal's picker, crashes on a keyboard without one).
start keyboard wtype -k Shift_L -s 3600000
wait_for "swaymsg -r -t get_seats | grep -q '\"type\": \"keyboard\"'"

# A session bus without service activation, with the desktop portal and
# its wlroots back end, for the one-shot pick where the program is told
# not to use the wlroots protocols.
DBUS_SESSION_BUS_ADDRESS=$(private_bus session)
export DBUS_SESSION_BUS_ADDRESS
export XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland
# The back end will not start without PipeWire, which it casts through.
start pipewire pipewire
wait_for "[ -S $XDG_RUNTIME_DIR/pipewire-0 ]"
start portal-wlr /usr/libexec/xdg-desktop-portal-wlr
wait_for "has_name session org.freedesktop.impl.portal.desktop.wlr"
start portal /usr/libexec/xdg-desktop-portal
wait_for "has_name session org.freedesktop.portal.Desktop"

"$build/settings/tintorel-setup" > /dev/null
/usr/bin/python3 "$here/sway_drive.py" "$build" "$work" ${2:-}
