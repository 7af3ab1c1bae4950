#!/usr/bin/env bash
# Pictures of the notification-area icon at work, on a virtual display with a panel (trayer)
# that has a system tray: the window minimised to the tray, the icon's menu after a right
# click, the window restored by a left click; then the menu's Close ends the program.
# The pictures go to build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh
command -v trayer >/dev/null || scripts/install-deps.sh trayer

# A panel along the bottom edge: the icon is its right-most item.
trayer --edge bottom --align right --width 10 --height 32 --transparent false \
    --tint 0x808080 >/dev/null 2>&1 &
shot_pids+=($!)
sleep 1
icon_x=1268
icon_y=884

start_app
register JOHN 'Secret#1'
sleep 0.5
# The Minimise to Icon Tray image, second from the right in the top-right frame.
win=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove --window "$win" $((WIDTH - 46)) 18 click 1
sleep 1
shoot tray-1-hidden
xdotool mousemove "$icon_x" "$icon_y" click 3
sleep 0.8
shoot tray-2-menu
xdotool key Escape
sleep 0.3
xdotool mousemove "$icon_x" "$icon_y" click 1
wait_for 'Pinvara V1.1'
sleep 0.8
shoot tray-3-restored

# Close from the icon's menu ends the program by its exit path.
xdotool mousemove "$icon_x" "$icon_y" click 3
sleep 0.8
xdotool key Up Return
if ! app_ended; then
    echo "the tray menu's Close did not end the program" >&2
    exit 1
fi
echo "the tray menu's Close ended the program"
