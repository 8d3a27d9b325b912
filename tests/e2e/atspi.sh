#!/usr/bin/env bash
# What a screen reader meets, end to end: the real program, started by name
# as a desktop's launcher would (no set-up step), read through AT-SPI, the
# accessibility bus that Orca reads. Everything runs on buses and an X
# server of the test's own: a private session bus, the accessibility bus
# launcher on it, Xvfb; atspi_drive.py then starts the program three ways
# (a fresh account, stale folders, a misspelt language file) and reads its
# windows. Every process is ended here.
#
#   atspi.sh BUILD_DIR     (run it under xvfb-run)
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    [ -f "$work/bus.pid" ] && kill "$(cat "$work/bus.pid")" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
cat > "$work/session.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/session-bus</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/session.conf" --fork --print-pid=1 > "$work/bus.pid"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/session-bus
/usr/libexec/at-spi-bus-launcher --launch-immediately > "$work/launcher.log" 2>&1 &
pids+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
/usr/bin/python3 "$here/atspi_drive.py" "$build" "$work"
