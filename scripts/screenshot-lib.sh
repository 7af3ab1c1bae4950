#!/usr/bin/env bash
# Shared helpers for the screenshot scripts: a virtual X display with a window manager, a
# fresh home folder, and functions to wait for windows, type and take pictures.
# Source it from a script that has set -euo pipefail and cd'ed to the checkout.

# Absolute, so that a script may change to another folder (an absolute one is kept as it is).
build_dir=$(realpath -m -s -- "${PINVARA_BUILD_DIR:-build}")
out="$build_dir/screenshots"
mkdir -p "$out"

scripts/install-deps.sh xvfb xauth imagemagick x11-apps xdotool openbox

shot_home=$(mktemp -d)
display=:${PINVARA_DISPLAY:-99}
shot_pids=()
shot_cleanup() {
    for pid in "${shot_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$shot_home"
}
trap shot_cleanup EXIT

Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
shot_pids+=($!)
for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done
export DISPLAY=$display HOME=$shot_home XDG_CONFIG_HOME=$shot_home/.config
export XDG_RUNTIME_DIR=$shot_home/run TMPDIR=$shot_home/tmp XDG_STATE_HOME=$shot_home/.local/state
mkdir -p -m 0700 "$XDG_RUNTIME_DIR" "$TMPDIR"
export QT_QPA_PLATFORM=xcb PINVARA_SPLASH_MS=${PINVARA_SPLASH_MS:-1500}
openbox >/dev/null 2>&1 &
shot_pids+=($!)
sleep 0.5

# shoot NAME: the whole screen into $out/NAME.png
shoot() { import -display "$display" -window root "$out/$1.png"; echo "saved $out/$1.png"; }
# shoot_window TITLE NAME: one window (with its frame) into $out/NAME.png
shoot_window() {
    local id
    id=$(xdotool search --name "$1" | head -1)
    import -display "$display" -frame -window "$id" "$out/$2.png"
    echo "saved $out/$2.png"
}
# wait_for TITLE-REGEX: until a window whose title matches appears
wait_for() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "window '$1' did not appear" >&2
    return 1
}
# click_in_window X Y: a left click at a point of the main window's client area
click_in_window() {
    local id
    id=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
    xdotool mousemove --window "$id" "$1" "$2" click 1
}
# type_text TEXT: types into the focused window
type_text() { xdotool type --delay 20 "$1"; }

# start_app ARGS...: starts the program in the background
start_app() {
    "$build_dir/src/pinvara" "$@" &
    app_pid=$!
    shot_pids+=("$app_pid")
}

# enter_credentials USER PASSWORD: fills the login dialog and presses Enter
enter_credentials() {
    wait_for '^(Pinvara )?Login$'
    sleep 0.3
    # Enter in the name box moves the focus on; Enter in the password box logs in.
    xdotool key shift+Tab ctrl+a BackSpace
    type_text "$1"
    xdotool key Return
    type_text "$2"
    xdotool key Return
}

# new_user USER PASSWORD: answers the first-use advice and registers a new user, up to the
# login's end
new_user() {
    wait_for '^Welcome$'
    sleep 0.3
    xdotool key Return
    enter_credentials "$1" "$2"
    wait_for '^Confirm Password$'
    sleep 0.3
    type_text "$2"
    xdotool key Return
}

# register USER PASSWORD: a new user, up to the main window
register() {
    new_user "$1" "$2"
    wait_for 'Pinvara V1.1'
    sleep 0.5
}

# login USER PASSWORD: logs a registered user in, up to the main window
login() {
    enter_credentials "$1" "$2"
    wait_for 'Pinvara V1.1'
    sleep 0.5
}

# stop_app: closes the main window and waits for the program to end
stop_app() {
    local id
    id=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1 || true)
    [ -n "$id" ] && xdotool windowclose "$id" 2>/dev/null || true
    wait_app_end
}

# app_ended: waits up to five seconds for the program to end; fails if it is still running
app_ended() {
    for _ in $(seq 50); do
        kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid" 2>/dev/null || true; return 0; }
        sleep 0.1
    done
    return 1
}

# wait_app_end: until the program has ended (ended by force after five seconds)
wait_app_end() {
    app_ended && return 0
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
}
