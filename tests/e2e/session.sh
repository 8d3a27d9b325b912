#!/usr/bin/env bash
# One scripted session against the real program on an X server (run it
# under scripts/with-xvfb): start with the shipped files, type a code, switch pages,
# change a number, pick a name, confirm the preferences, run the pipette
# over the screen's background and close the window, which shows the about
# box; a click on it ends the program. Then check the settings file, the log
# and the colour that was saved.
#
# Every step waits for what the user would see (the preview square showing
# the new colour, a window appearing or going), never for a fixed time, so
# a slow or busy machine only makes the session slower.
#
#   session.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$1
runs=${2:-1}
here=$(cd "$(dirname "$0")" && pwd)
# Debian's interpreter, which has python3-xlib, whatever else is on PATH.
xwait() { /usr/bin/python3 "$here/xwait.py" "$@"; }

fail() {
    echo "session $run: $*" >&2
    exit 1
}

# shown_window PID TITLE [BUT]: the first window of PID titled TITLE (other
# than BUT) once it shows. A program that ended meanwhile fails the
# session at once, rather than leave it waiting.
shown_window() {
    local deadline=$((SECONDS + ${TINTOREL_WAIT_LIMIT:-300})) found
    while :; do
        kill -0 "$1" 2>/dev/null || fail "the program ended while a window \"$2\" was awaited"
        found=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null |
            grep -vx "${3:-none}" | head -1 || true)
        [ -n "$found" ] && { echo "$found"; return; }
        [ $SECONDS -lt $deadline ] || fail "no window \"$2\" shown"
        sleep 0.05
    done
}

# A window of the colour the pipette samples, 12, 61, 90, in the top-left
# corner of the screen.
display -geometry 160x120+0+0 -size 160x120 xc:'#0c3d5a' &
swatch=$!
trap 'kill $swatch 2>/dev/null' EXIT
run=0
xwait pixel 40 40 0c3d5a || fail "no swatch"

# Where the controls lie: the window is laid out from the desktop's style,
# font and language, so the program's own layout, with the settings every
# session starts from, says where to click.
probe=$(mktemp -d)
HOME=$probe "$build/settings/tintorel-setup" > /dev/null
geometry=$(HOME=$probe QT_QPA_PLATFORM=xcb "$build/tests/e2e/e2e_geometry" \
    edtHtml tab:0 tab:1 tab:7 bstLit row:2 btnPref btnCapture pnlImage)
rm -rf "$probe"
# A point of a control, at the given fractions of its width and height.
spot() {
    awk -v name="$1" -v fx="${2:-0.5}" -v fy="${3:-0.5}" \
        '$1 == name { print int($2 + $4 * fx), int($3 + $5 * fy) }' <<<"$geometry"
}

for run in $(seq 1 "$runs"); do
    home=$(mktemp -d)
    export HOME=$home
    unset XDG_CONFIG_HOME XDG_STATE_HOME
    "$build/settings/tintorel-setup" > /dev/null
    QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 "$build/app/tintorel" 2> "$home/stderr" &
    pid=$!
    window=$(shown_window "$pid" Tintorel)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    at() { xdotool mousemove --sync $((X + $1)) $((Y + $2)); }
    click() {
        local point
        read -ra point <<<"$(spot "$@")"
        at "${point[0]}" "${point[1]}"
        xdotool click 1
    }
    # The preview square, where every edit shows.
    read -ra middle <<<"$(spot pnlImage)"
    preview() { xwait pixel $((X + middle[0])) $((Y + middle[1])) "$1" || fail "$2"; }
    preview 000000 "the window was not painted"

    # Type a web code: every other form follows.
    click edtHtml
    xdotool key --clearmodifiers ctrl+a type --delay 20 '#336699'
    preview 336699 "the web code did not reach the preview"
    # The HLS page (its tab), then its lightness number at the row's right.
    click tab:1
    click bstLit 0.9
    xdotool key --clearmodifiers ctrl+a type --delay 20 '77'
    preview 264d74 "the lightness did not reach the preview"
    # The Name page: pick the third row of the list.
    click tab:7
    click row:2
    preview 8fbc8f "the picked name did not reach the preview"
    # The preferences, confirmed with Enter.
    click btnPref
    prefs=$(shown_window "$pid" Preferences)
    xwait focus "$prefs" || fail "the preferences never had the focus"
    xdotool key Return
    xwait gone "$prefs" || fail "the preferences stayed open"
    # Back to the RGB page; the pipette over the background, then the window
    # closed while it still runs.
    click tab:0
    click btnCapture
    xdotool mousemove --sync 40 40
    preview 0c3d5a "the pipette did not sample the background"
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    xwait close "$window"
    xwait gone "$window" || fail "the window did not close"
    about=$(shown_window "$pid" Tintorel "$window")
    eval "$(xdotool getwindowgeometry --shell "$about")"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
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
