# Shared by the end-to-end scripts: a work folder of the test's own, the
# processes it starts (each ended by its id when the script exits, last
# started first), waits for conditions, and private D-Bus buses without
# service activation.
#
# Source it after `set -euo pipefail`. KEEP_VARIABLE names an environment
# variable which, when set, keeps the work folder and its logs; a failing
# command keeps them too.

work=$(mktemp -d)
pids=()
session_cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
    done
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        wait "${pids[i]}" 2>/dev/null || true
    done
    # Buses that fork report their own ids.
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
trap session_cleanup EXIT
[ -n "${KEEP_VARIABLE:-}" ] && [ -n "${!KEEP_VARIABLE:-}" ] && keep=1
trap 'keep=1' ERR

# private_home: a home and a runtime folder of the test's own in $work,
# and no display or Qt platform inherited from the caller (the test
# presets choose the offscreen one, under which a desktop's own Qt
# programs, such as KDE's portal, would not reach their compositor).
private_home() {
    export XDG_RUNTIME_DIR=$work/run
    export HOME=$work/home
    export XDG_CONFIG_HOME=$HOME/.config XDG_STATE_HOME=$HOME/.local/state
    export XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    mkdir -p "$XDG_CONFIG_HOME"
    unset DISPLAY WAYLAND_DISPLAY SWAYSOCK QT_QPA_PLATFORM
}

# sway_user FOLDER: Sway refuses to run as root. As root, the command
# prefix as_compositor runs it as "nobody", who is given FOLDER (its
# runtime folder); the test then talks to it across the user boundary
# (root may open any socket). Otherwise the prefix is empty.
sway_user() {
    as_compositor=()
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody "$1"
        as_compositor=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    fi
}

# start NAME COMMAND...: runs COMMAND in the background, its output in
# $work/NAME.log; its id is $! afterwards.
start() {
    local name=$1
    shift
    "$@" > "$work/$name.log" 2>&1 &
    pids+=($!)
}

# wait_for CONDITION: evaluates CONDITION until it holds. The limit
# (TINTOREL_WAIT_LIMIT seconds, 300 by default: valgrind on a busy machine
# is slow) only bounds a failure, which keeps the work folder and its logs.
wait_for() {
    local what=$1
    local deadline=$((SECONDS + ${TINTOREL_WAIT_LIMIT:-300}))
    until eval "$what"; do
        if [ $SECONDS -ge $deadline ]; then
            echo "gave up waiting for: $what (logs in $work)" >&2
            keep=1
            exit 1
        fi
        sleep 0.05
    done
}

# private_bus NAME: starts a session-type bus listening in $work, with no
# service activation (nothing starts unless the test starts it), and
# prints its address.
private_bus() {
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

# has_name BUS NAME: whether NAME has an owner on the session or system bus.
has_name() {
    gdbus call --"$1" --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$2" 2>/dev/null | grep -q true
}
