#!/usr/bin/env bash
# One scripted session against the real program on an X server (run it
# under xvfb-run): start with the shipped files, type a code, switch pages,
# move a slider, pick a name, confirm the preferences, run the pipette over
# the screen's background and end the session. Then check the settings
# file, the log and the colour that was saved.
#
#   session.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$1
runs=${2:-1}
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "session $run: $*" >&2
    exit 1
}

# A window of the colour the pipette samples, 12, 61, 90, in the top-left
# corner of the screen.
display -geometry 160x120+0+0 -size 160x120 xc:'#0c3d5a' &
swatch=$!
trap 'kill $swatch 2>/dev/null' EXIT
sleep 1

for run in $(seq 1 "$runs"); do
    home=$(mktemp -d)
    export HOME=$home
    unset XDG_CONFIG_HOME XDG_STATE_HOME
    "$build/settings/tintorel-setup" > /dev/null
    QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 "$build/app/tintorel" 2> "$home/stderr" &
    pid=$!
    window=$(xdotool search --sync --onlyvisible --pid "$pid" --name '^Tintorel$' | head -1)
    [ -n "$window" ] || fail "no window"
    sleep 0.3
    eval "$(xdotool getwindowgeometry --shell "$window")"
    at() { xdotool mousemove --sync $((X + $1)) $((Y + $2)); }
    click() { at "$1" "$2"; xdotool click 1; sleep 0.15; }

    # Type a web code: every other form follows.
    click 360 138
    xdotool key --clearmodifiers ctrl+a type --delay 20 '#336699'
    sleep 0.2
    # The HLS page (its tab), then its lightness number.
    click 50 12
    click 290 74
    xdotool key --clearmodifiers ctrl+a type --delay 20 '77'
    sleep 0.2
    # The Name page: pick the third row of the list.
    click 243 12
    click 200 126
    # The preferences, confirmed with Enter.
    click 382 22
    sleep 0.4
    xdotool key Return
    sleep 0.3
    # Back to the RGB page; the pipette over the background, then the end of
    # the session while it still runs.
    click 17 12
    click 350 22
    xdotool mousemove --sync 40 40
    sleep 0.8
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    kill -TERM "$pid"
    wait "$pid" || fail "the program ended with status $?"

    reg="$home/.config/VRQM/tintorel.reg"
    log="$home/.local/state/tintorel/tintorel.log"
    python3 "$here/check_session.py" "$reg" "$log" || fail "wrong state saved"
    # Every session is a new process: its memory at the end must not grow
    # from one session to the next.
    first_rss=${first_rss:-$rss}
    [ "$rss" -le $((first_rss + 5120)) ] || fail "resident memory grew to $rss kB from $first_rss kB"
    echo "session $run: ok, ${rss} kB resident at the end"
    rm -rf "$home"
done
