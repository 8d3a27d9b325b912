#!/usr/bin/env bash
# The pipette on KDE Plasma's portal, end to end: KWin of Plasma 5.27 with
# two outputs, nested in a headless Sway (the outputs are two windows of
# Sway's, whose seat gives KWin its pointer and whose screen grim reads),
# PipeWire, WirePlumber and xdg-desktop-portal-kde on a bus of the test's
# own; then kde_drive.py runs the real program against it. Every process is
# started here and ended here.
#
# What it shows: the desktop's own dialog with both outputs shared, the
# restore token kept and honoured, a token KDE's portal refuses dropped and
# the dialog shown again. What it cannot show: samples.
# Without a GPU KWin composites in software, and its screen casts then send
# no picture; the test checks that the program says so and stops.
#
#   kde.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

KEEP_VARIABLE=KDE_KEEP
source "$here/session-lib.sh"
chmod 755 "$work"

private_home
# Sway has a runtime folder of its own, since as root it runs as another
# user (see sway_user); everything of KDE's runs as the test's user.
sway_runtime=$work/sway-run
mkdir -m 700 -p "$sway_runtime"
sway_user "$sway_runtime"

cat > "$work/sway.conf" <<EOF
xwayland disable
output HEADLESS-1 resolution 1600x600 position 0 0 scale 1
default_border none
default_floating_border none
focus_follows_mouse no
for_window [title="KDE Wayland Compositor"] floating enable
EOF
chmod 644 "$work/sway.conf"
start sway env XDG_RUNTIME_DIR="$sway_runtime" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=1 HOME="$work" "${as_compositor[@]}" \
    sway -c "$work/sway.conf"
wait_for "ls $sway_runtime/sway-ipc.*.sock >/dev/null 2>&1 && [ -S $sway_runtime/wayland-1 ]"
# The driver reaches Sway by these; the programs under test, by KWin's.
SWAYSOCK=$(ls "$sway_runtime"/sway-ipc.*.sock)
export SWAYSOCK SEAT_WAYLAND_DISPLAY=$sway_runtime/wayland-1
wait_for "swaymsg -t get_outputs >/dev/null 2>&1"
start pointer env WAYLAND_DISPLAY="$SEAT_WAYLAND_DISPLAY" "$build/tests/e2e/e2e_virtualpointer"
wait_for "grep -q ready $work/pointer.log"

DBUS_SESSION_BUS_ADDRESS=$(private_bus session)
export DBUS_SESSION_BUS_ADDRESS
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_TYPE=wayland

# KWin: a copy of the program, since the installed one carries a file
# capability (cap_sys_resource) that a container may not grant; no window
# decorations (their plugin is not installed, and clients then draw their
# own); a guard against its crash without a render node (gbmguard.cpp).
cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
g++ -std=c++20 -shared -fPIC -o "$work/gbmguard.so" "$here/gbmguard.cpp"
cat > "$XDG_CONFIG_HOME/kwinrc" <<EOF
[org.kde.kdecoration2]
NoPlugin=true
EOF
start kwin env LD_PRELOAD="$work/gbmguard.so" KWIN_COMPOSE=Q "$work/kwin_wayland" \
    --wayland-display "$SEAT_WAYLAND_DISPLAY" --socket kwin-0 --output-count 2 \
    --width 800 --height 600 --no-lockscreen --no-global-shortcuts --no-kactivities
wait_for "[ -S $XDG_RUNTIME_DIR/kwin-0 ]"
wait_for "swaymsg -t get_tree | grep -q WL-1"
# KDE's portal looks for KWin's screen-casting protocol once, as it starts
# (and fails every session without it): it starts once KWin has loaded the
# plugin that offers it.
wait_for "gdbus call --session --dest org.kde.KWin --object-path /Plugins \
    --method org.freedesktop.DBus.Properties.Get org.kde.KWin.Plugins LoadedPlugins \
    2>/dev/null | grep -q kwin5_plugin_screencast"
# The outputs side by side: KWin's first at 0,0 of Sway's screen.
swaymsg '[title="WL-0"] move position 0 0' > /dev/null
swaymsg '[title="WL-1"] move position 800 0' > /dev/null
export WAYLAND_DISPLAY=kwin-0

start pipewire pipewire
wait_for "[ -S $XDG_RUNTIME_DIR/pipewire-0 ]"
start wireplumber wireplumber
start permission-store /usr/libexec/xdg-permission-store
wait_for "has_name session org.freedesktop.impl.portal.PermissionStore"
portal_kde=$(ls /usr/lib/*/libexec/xdg-desktop-portal-kde | head -n 1)
start portal-kde "$portal_kde"
wait_for "has_name session org.freedesktop.impl.portal.desktop.kde"
start portal /usr/libexec/xdg-desktop-portal
wait_for "has_name session org.freedesktop.portal.Desktop"

"$build/settings/tintorel-setup" > /dev/null
/usr/bin/python3 "$here/kde_drive.py" "$build" "$work"
