#!/usr/bin/env bash
# The pipette on a Wayland desktop, end to end: a headless GNOME Shell on
# two monitors, with PipeWire, WirePlumber and the desktop portals, on
# buses of the test's own, then wayland_drive.py runs the real program
# against it. Every process is started here and ended here, by its
# process id. With "bench", it also measures the pipette's cost and delay
# on the compositor.
#
#   wayland.sh BUILD_DIR [bench]
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

KEEP_VARIABLE=WAYLAND_KEEP
source "$here/session-lib.sh"

private_home

# Two buses without service activation: a portal back end activated
# behind the test's back would take the names the test relies on.
DBUS_SESSION_BUS_ADDRESS=$(private_bus session)
DBUS_SYSTEM_BUS_ADDRESS=$(private_bus system)
export DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS

# GNOME Shell will not start without a login manager to ask.
start logind /usr/bin/python3 -m dbusmock --system --template logind
wait_for "has_name system org.freedesktop.login1"
start pipewire pipewire
wait_for "[ -S $XDG_RUNTIME_DIR/pipewire-0 ]"
start wireplumber wireplumber
# The shell's settings from a key file of the test's: no notification
# banners over the windows, and no animations (on a busy machine the
# sharing dialog was seen to take no clicks, and to be missing from the
# screenshots of an area, for minutes while it was being shown). New
# windows are placed where they overlap no other, so the quadrants and
# the main window are both in view.
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
cat > "$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<EOF
[org/gnome/desktop/notifications]
show-banners=false

[org/gnome/desktop/interface]
enable-animations=false
EOF
export GSETTINGS_BACKEND=keyfile
export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland
# Two monitors of different sizes, side by side as Mutter lays them out;
# the driver reads their sizes from GNOME_MONITORS.
export GNOME_MONITORS="640x480 480x360"
# Unsafe mode lets the driver raise and focus windows through the shell's
# own Eval, rather than hope for where a new window lands. The shell runs
# ahead of other work, as a desktop session's compositor does (it asks for
# real-time scheduling there): on a machine kept busy by other work it
# was seen to take minutes to draw the sharing dialog, longer than the
# program waits for an answer. (Without the right to, it runs as it is.)
start gnome-shell nice -n -10 gnome-shell --headless --wayland --no-x11 --unsafe-mode \
    $(printf -- '--virtual-monitor %s ' $GNOME_MONITORS)
# The shell's process (nice runs it in its own place), for the benchmark's
# figures of the compositor's share.
export COMPOSITOR_PID=${pids[-1]}
wait_for "[ -S $XDG_RUNTIME_DIR/wayland-0 ]"
wait_for "has_name session org.gnome.Mutter.ScreenCast"
wait_for "has_name session org.gnome.Shell.Introspect"
export WAYLAND_DISPLAY=wayland-0
start permission-store /usr/libexec/xdg-permission-store
wait_for "has_name session org.freedesktop.impl.portal.PermissionStore"
# The sharing dialog is the GNOME portal's own GTK window. Drawn through
# GL on a machine without a GPU (llvmpipe), it was seen not to appear for
# minutes while other work kept the cores busy; GTK's cairo renderer draws
# it at once. It runs ahead of other work, as the shell does.
export GSK_RENDERER=cairo GTK_A11Y=none
start portal-gnome nice -n -10 /usr/libexec/xdg-desktop-portal-gnome
# The driver ends the back end on purpose once, and starts another.
export PORTAL_BACKEND_PID=$!
wait_for "has_name session org.freedesktop.impl.portal.desktop.gnome"
start portal /usr/libexec/xdg-desktop-portal
wait_for "has_name session org.freedesktop.portal.Desktop"

[ -n "${WAYLAND_MONITOR:-}" ] && start monitor dbus-monitor --session
"$build/settings/tintorel-setup" > /dev/null
/usr/bin/python3 "$here/wayland_drive.py" "$build" "$work" ${2:-}
