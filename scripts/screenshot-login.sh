#!/usr/bin/env bash
# Starts Pinvara on a virtual X display with a fresh home folder and saves pictures of the
# splash, the first-use advice and the login into build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${PINVARA_BUILD_DIR:-build}
out="$build_dir/screenshots"
mkdir -p "$out"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

display=:${PINVARA_DISPLAY:-99}
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$home"' EXIT
for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done

export DISPLAY=$display HOME=$home XDG_CONFIG_HOME=$home/.config TMPDIR=$home
export QT_QPA_PLATFORM=xcb PINVARA_SPLASH_MS=1500
"$build_dir/src/pinvara" &
app_pid=$!

shoot() { import -display "$display" -window root "$out/$1.png"; echo "saved $out/$1.png"; }
wait_for() {  # a window whose title matches appears
    for _ in $(seq 100); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "window '$1' did not appear" >&2
    return 1
}

sleep 0.7
shoot 1-splash
# Caps Lock on before the advice loads, so that its warning line shows.
xdotool key Caps_Lock
wait_for '^Welcome$'
sleep 0.5
shoot 2-first-use
xdotool key Return
wait_for '^Pinvara Login$'
sleep 0.5
shoot 3-login
xdotool key Caps_Lock
xdotool key Escape
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    echo "Pinvara did not end on Escape" >&2
    kill "$app_pid"
fi
wait "$app_pid" || true
