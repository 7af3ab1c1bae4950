#!/usr/bin/env bash
# Starts Pinvara on a virtual X display with a small data file named on the command line and
# saves pictures of the skinned toolbar (released and pressed), the options dialog on each of
# its pages and the about box into build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

# A plaintext copy of the template opens under any password; the program encrypts it at close.
data="$shot_home/accounts.pnv"
/usr/bin/python3 - "$data" <<'PY'
import shutil, sqlite3, sys
shutil.copy("src/resources/template/DATABASE.pnv", sys.argv[1])
db = sqlite3.connect(sys.argv[1])
for name, url in (("Bank", "https://bank.example.com"), ("Mail", "https://mail.example.com")):
    db.execute("INSERT INTO tblAccount (Account, URL, IDtext, Password) VALUES (?,?,?,?)",
               (name, url, "john", "pw"))
db.commit()
db.close()
PY

# The toolbar's images sit 6 pixels into the cool bar, 24 pixels each, at their design places.
tool_x() { echo $(( 6 + $1 / 15 + 12 )); }
tool_y=18

# First without a data file: the file tools' pictures and the Master page that accepts a change.
start_app
register JOHN 'Secret#1'
win=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
shoot_window 'Pinvara V1.1' skins-0-main-no-file
xdotool mousemove --window "$win" "$(tool_x 2280)" $tool_y click 1
wait_for '^Options$'
sleep 0.3
xdotool key ctrl+Tab
sleep 0.5
# The focus stays on the tabs. The current password shows masked; a too-short one is refused
# in the page itself.
xdotool key Tab
type_text 'abc'
xdotool key Tab
type_text 'Newpw1'
xdotool key Tab Tab space
sleep 0.5
shoot_window '^Options$' skins-0-options-master-no-file
xdotool key ctrl+Tab Escape
sleep 0.3
stop_app

# Then with the data file, after the login.
start_app "$data"
wait_for '^(Pinvara )?Login$'
sleep 0.5
type_text 'Secret#1'
xdotool key Return
wait_for 'Pinvara V1.1'
sleep 0.5
win=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
shoot_window 'Pinvara V1.1' skins-1-main
# A right-button press swaps in the pressed picture without running the command.
xdotool mousemove --window "$win" "$(tool_x 1920)" $tool_y mousedown 3
sleep 0.3
shoot_window 'Pinvara V1.1' skins-2-main-print-pressed
xdotool mouseup 3
sleep 0.3

# Options (Left 2280): the General page, then the Master page through Ctrl+Tab.
xdotool mousemove --window "$win" "$(tool_x 2280)" $tool_y click 1
wait_for '^Options$'
sleep 0.5
shoot_window '^Options$' skins-3-options-general
xdotool key ctrl+Tab
sleep 0.5
shoot_window '^Options$' skins-4-options-master
xdotool key ctrl+Tab Escape
sleep 0.5

# Information (Left 3000): the about box.
xdotool mousemove --window "$win" "$(tool_x 3000)" $tool_y click 1
wait_for '^About Pinvara$'
sleep 0.5
shoot_window '^About Pinvara$' skins-5-about
xdotool key Return
sleep 0.3
stop_app
