#!/usr/bin/env bash
# Starts Pinvara on a virtual X display with a window manager and a fresh home folder, and
# saves pictures of the splash, the first-use advice, the login and the empty main window into
# build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

start_app
sleep 0.7
shoot 1-splash
# Caps Lock on before the advice loads, so that its warning line shows.
xdotool key Caps_Lock
wait_for '^Welcome$'
sleep 0.5
shoot 2-first-use
xdotool key Return
wait_for '^(Pinvara )?Login$'
sleep 0.5
shoot 3-login
xdotool key Caps_Lock
xdotool key Escape
app_ended || echo "Pinvara did not end on Escape" >&2

start_app
register JOHN 'Secret#1'
shoot 4-main-empty
stop_app
