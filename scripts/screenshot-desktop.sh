#!/usr/bin/env bash
# Pinvara as a desktop user meets it, on a virtual X display with a window manager: the splash
# early and late in its wait, a message box with a long title, the Caps Lock panel off and on,
# and the close that a SIGTERM runs. Pictures go to build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

# mean_of NAME: the mean brightness (0 black .. 1 white) of the middle of a picture
mean_of() { /usr/bin/convert "$out/$1.png" -gravity center -crop 400x200+0+0 -format '%[fx:mean]' info:; }

# log_in PASSWORD: answers the login of the last user
log_in() {
    wait_for '^(Pinvara )?Login$'
    sleep 0.3
    type_text "$1"
    xdotool key Return
}

# The splash is drawn for the whole of its wait, not only at its start.
PINVARA_SPLASH_MS=3000 start_app
sleep 0.6
shoot desktop-1-splash-early
sleep 1.8
shoot desktop-2-splash-late
echo "splash brightness: early $(mean_of desktop-1-splash-early), late $(mean_of desktop-2-splash-late)"
register JOHN 'Secret#1'
stop_app

# A data file that is not a database (an empty file) gives the connection error box.
: >"$shot_home/empty.pnv"
start_app "$shot_home/empty.pnv"
log_in 'Secret#1'
wait_for 'DATABASE CONNECTION ERROR!'
sleep 0.5
shoot_window 'DATABASE CONNECTION ERROR!' desktop-3-connection-error
xdotool key Return
wait_for 'Pinvara V1.1'
sleep 0.5
stop_app

# A SIGTERM closes the window the way its close box does: the window's place is saved.
settings="$XDG_CONFIG_HOME/Quorrel - Keyfold.conf"
sed -i '/Settings.MainLeft=/d' "$settings"
start_app
log_in 'Secret#1'
wait_for 'Pinvara V1.1'
sleep 0.5
# On the way, the status bar's CAPS panel greyed, then readable once Caps Lock is on.
shoot_window 'Pinvara V1.1' desktop-4-caps-off
xdotool key Caps_Lock
sleep 0.6
shoot_window 'Pinvara V1.1' desktop-5-caps-on
xdotool key Caps_Lock
kill -TERM "$app_pid"
status=0
wait "$app_pid" || status=$?
if grep -q 'Settings.MainLeft=' "$settings"; then
    echo "SIGTERM: exit status $status, settings saved"
else
    echo "SIGTERM: exit status $status, settings NOT saved" >&2
    exit 1
fi
