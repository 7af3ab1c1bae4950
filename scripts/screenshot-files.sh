#!/usr/bin/env bash
# Saves pictures of the data file commands' dialogs into build/screenshots/ (not kept in git):
# the password dialog of Open With Password and its length message, the New file dialog, the
# notice after a new file, and the overwrite question of Save As, which must stay above the
# window kept on top.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

# toolbar X: a click on one of the toolbar's image buttons, counted from the left
toolbar() { click_in_window $((18 + 24 * $1)) 17; }

start_app
register JOHN 'Secret#1'

# Open With Password, a password of three characters, then Cancel.
toolbar 3
wait_for '^Decryption Password$'
sleep 0.3
shoot_window '^Decryption Password$' files-1-import
type_text abc
xdotool key Return
wait_for '^Input FailureLogin$'
sleep 0.3
shoot_window '^Input FailureLogin$' files-2-short-password
xdotool key Return
sleep 0.3
xdotool key Escape
sleep 0.3

# New, with a name typed without the extension, then the notice.
toolbar 2
wait_for '^Choose Data File to Create$'
sleep 0.5
shoot_window '^Choose Data File to Create$' files-3-new-dialog
type_text "$shot_home/first"
xdotool key Return
wait_for '^New Data File$'
sleep 0.3
shoot_window '^New Data File$' files-4-new-notice
xdotool key Return
sleep 0.5
[ -f "$shot_home/first" ] || { echo "the new file was not made under the typed name" >&2; exit 1; }
shoot_window 'Pinvara V1.1' files-5-new-file-open

# Keep on top switched on (the indicator at the right of the toolbar), then Save As onto the
# open file: the overwrite question, No, then Cancel in the dialog again.
click_in_window 618 17
sleep 0.3
toolbar 4
wait_for '^Save Data File As...$'
sleep 0.3
type_text "$shot_home/first"
xdotool key Return
wait_for '^FILE EXISTS!$'
# Several keep-on-top ticks go by with the question up.
sleep 7
shoot files-7-question-over-window-on-top
shoot_window '^FILE EXISTS!$' files-6-overwrite
xdotool key Return
wait_for '^Save Data File As...$'
sleep 0.3
xdotool key Escape
sleep 0.3
stop_app
