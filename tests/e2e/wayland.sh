#!/usr/bin/env bash
# The pipette on a Wayland desktop, end to end: a headless GNOME Shell with
# PipeWire, WirePlumber and the desktop portals, on buses of the test's own,
# then wayland_drive.py runs the real program against it. Every process is
# started here and ended here, by its process id. With "bench", it also
# measures the pipette's cost and delay on the compositor.
#
#   wayland.sh BUILD_DIR [bench]
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
    done
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        wait "${pids[i]}" 2>/dev/null || true
    done
    # The buses fork: their ids come from their own report.
    local file
    for file in "$work"/*.pid; do
        [ -f "$file" ] && kill "$(cat "$file")" 2>/dev/null || true
    done
    if [ "${keep:-0}" = 1 ]; then
        echo "logs kept in $work" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT
[ -n "${WAYLAND_KEEP:-}" ] && keep=1
trap 'keep=1' ERR

start() {
    local name=$1
    shift
    "$@" > "$work/$name.log" 2>&1 &
    pids+=($!)
}

# Waits for a file or a bus name; the limit only bounds a failure.
wait_for() {
    local what=$1 tries=0
    until eval "$what"; do
        tries=$((tries + 1))
        if [ $tries -ge 1200 ]; then
            echo "gave up waiting for: $what" >&2
            exit 1
        fi
        sleep 0.05
    done
}

export XDG_RUNTIME_DIR=$work/run
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_STATE_HOME=$HOME/.local/state
export XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
mkdir -p "$HOME"
unset DISPLAY WAYLAND_DISPLAY

# Two buses without service activation: nothing starts unless started here
# (a portal back end activated behind the test's back would take the names
# the test relies on).
bus() {
    cat > "$work/$1.conf" <<EOF
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/$1-bus</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
    dbus-daemon --config-file="$work/$1.conf" --fork --print-pid=1 > "$work/$1.pid"
    echo "unix:path=$work/$1-bus"
}
DBUS_SESSION_BUS_ADDRESS=$(bus session)
DBUS_SYSTEM_BUS_ADDRESS=$(bus system)
export DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS
has_name() {
    gdbus call --"$1" --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$2" 2>/dev/null | grep -q true
}

# GNOME Shell will not start without a login manager to ask.
start logind /usr/bin/python3 -m dbusmock --system --template logind
wait_for "has_name system org.freedesktop.login1"
start pipewire pipewire
wait_for "[ -S $XDG_RUNTIME_DIR/pipewire-0 ]"
start wireplumber wireplumber
# The shell's settings from a key file of the test's: no notification
# banners over the windows. New windows are placed where they overlap no
# other, so the quadrants and the main window are both in view.
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
cat > "$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<EOF
[org/gnome/desktop/notifications]
show-banners=false
EOF
export GSETTINGS_BACKEND=keyfile
export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland
start gnome-shell gnome-shell --headless --wayland --no-x11 --virtual-monitor 640x480
wait_for "[ -S $XDG_RUNTIME_DIR/wayland-0 ]"
wait_for "has_name session org.gnome.Mutter.ScreenCast"
wait_for "has_name session org.gnome.Shell.Introspect"
export WAYLAND_DISPLAY=wayland-0
start permission-store /usr/libexec/xdg-permission-store
wait_for "has_name session org.freedesktop.impl.portal.PermissionStore"
start portal-gnome /usr/libexec/xdg-desktop-portal-gnome
# The driver ends the back end on purpose once, and starts another.
export PORTAL_BACKEND_PID=$!
wait_for "has_name session org.freedesktop.impl.portal.desktop.gnome"
start portal /usr/libexec/xdg-desktop-portal
wait_for "has_name session org.freedesktop.portal.Desktop"

[ -n "${WAYLAND_MONITOR:-}" ] && start monitor dbus-monitor --session
"$build/settings/tintorel-setup" > /dev/null
/usr/bin/python3 "$here/wayland_drive.py" "$build" "$work" ${2:-}
