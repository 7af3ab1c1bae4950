#!/usr/bin/env bash
# A new user's registration on a virtual X display with a window manager: the password
# confirmation, the boxes a refused attempt shows, and the main window it leads to. Pictures go
# to build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

start_app
wait_for '^Welcome$'
sleep 0.3
xdotool key Return
# A name of three letters is refused.
enter_credentials ABC 'Secret#1'
wait_for '^Login$'
sleep 0.5
shoot register-1-short-name
xdotool key Return
sleep 0.3
# The name box has the focus again, its text selected.
type_text JOHN
xdotool key Return
type_text 'Secret#1'
xdotool key Return
wait_for '^Confirm Password$'
sleep 0.5
shoot register-2-confirm
# A confirmation that differs, typed with Caps Lock on.
xdotool key Caps_Lock
type_text 'secret#2'
xdotool key Return
wait_for '^Login$'
sleep 0.5
shoot register-3-mismatch
xdotool key Return Caps_Lock
sleep 0.5
# Back in the password box, its text masked and selected.
shoot register-4-login-again
xdotool key Return
wait_for '^Confirm Password$'
sleep 0.3
type_text 'Secret#1'
xdotool key Return
wait_for 'Pinvara V1.1'
sleep 0.8
shoot register-5-main
stop_app
