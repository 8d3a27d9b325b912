#!/usr/bin/env bash
# What a blind user hears: Orca reading the real program through a scripted
# keyboard session, its speech written to a file by a speech server of the
# test's own (a module that writes each text it is given, and a sound
# device that plays nothing). Buses, speech server, Orca and its settings
# are the test's own; orca_drive.py types and checks what was said.
#
#   orca.sh BUILD_DIR     (run it under scripts/with-xvfb)
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

KEEP_VARIABLE=ORCA_KEEP
source "$here/session-lib.sh"

# Orca refuses to start beside another Orca of the same user (it looks for
# processes named "orca"), and replacing it would end the user's own screen
# reader: with one running, the test is skipped. The test's Orca runs
# under the interpreter's name, so two test runs at once do not meet.
if pgrep -u "$(id -u)" -x orca > /dev/null; then
    echo "skipped: this user's own Orca is running"
    exit 77
fi

export XDG_RUNTIME_DIR=$work/run HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
export XDG_STATE_HOME=$HOME/.local/state XDG_CACHE_HOME=$HOME/.cache
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
mkdir -p "$HOME"
DBUS_SESSION_BUS_ADDRESS=$(private_bus session)
export DBUS_SESSION_BUS_ADDRESS
start launcher /usr/libexec/at-spi-bus-launcher --launch-immediately

# The speech server: one module, which appends each text to said.txt.
mkdir -p "$work/speechd/modules"
cat > "$work/speechd/speechd.conf" <<EOC
LogLevel 3
LogDir "$work"
AddModule "said" "sd_generic" "said.conf"
DefaultModule said
DefaultLanguage "en"
AudioOutputMethod "alsa"
AudioALSADevice "null"
EOC
cat > "$work/speechd/modules/said.conf" <<EOC
GenericExecuteSynth "printf '%s\\\\n' \'\$DATA\' >> $work/said.txt"
AddVoice "en" "MALE1" "plain"
GenericLanguage "en" "en" "utf-8"
EOC
touch "$work/said.txt"
start speechd speech-dispatcher --run-single --timeout 0 --config-dir "$work/speechd" \
    --communication-method unix_socket --socket-path "$work/speechd.sock"
wait_for "[ -S $work/speechd.sock ]"
export SPEECHD_ADDRESS=unix_socket:$work/speechd.sock
start orca /usr/bin/python3 /usr/bin/orca --debug-file="$work/orca-debug.txt"
# Orca acts on a signal only when its main loop next wakes; it is ended
# outright, before the buses it would wait for go.
orca=$!
trap 'kill -9 $orca 2>/dev/null || true; session_cleanup' EXIT
wait_for "grep -q 'Screen reader on' $work/said.txt"

"$build/settings/tintorel-setup" > /dev/null
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
/usr/bin/python3 "$here/orca_drive.py" "$build" "$work"
