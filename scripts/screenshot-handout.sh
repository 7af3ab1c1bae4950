#!/usr/bin/env bash
# Saves pictures of a revealed key and of the window locked by the security time-out into
# build/screenshots/ (not kept in git). The lock comes after the shortest time-out the settings
# allow (one minute), so the script takes a little over a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

# A data file with two accounts; the program keys it when it closes.
data="$shot_home/accounts.pnv"
python3 - "$data" <<'EOF'
import sqlite3, sys
fields = ["Account", "URL", "IDtext", "Password", "Hint", "Info", "Key1", "Key2", "Key3", "Key4",
          "Key1_Name", "Key2_Name", "Key3_Name", "Key4_Name"]
db = sqlite3.connect(sys.argv[1])
db.execute("CREATE TABLE tblAccount (%s)" % ", ".join('"%s" TEXT' % f for f in fields))
rows = [("Bank", "https://bank.example", "john.doe", "Kx7#pQ2m", "usual one", "branch 12",
         "4711-0815", "Blue Falcon", "", "", "PIN:", "Phrase:", "Key 3:", "Key 4:"),
        ("Mail", "https://mail.example", "jdoe", "m4il!Pw", "", "", "", "", "", "",
         "Key 1:", "Key 2:", "Key 3:", "Key 4:")]
db.executemany("INSERT INTO tblAccount VALUES (%s)" % ",".join("?" * len(fields)), rows)
db.commit()
db.close()
EOF

# click_in_window X Y: a click at a point of the main window's client area
click_in_window() {
    local id
    id=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
    xdotool mousemove --window "$id" "$1" "$2" click 1
}

start_app "$data"
register JOHN 'Secret#1'
# The first account is current; its first key's image button sits at the right of the editor.
click_in_window 100 72
sleep 0.3
click_in_window 671 213
sleep 0.5
shoot_window 'Pinvara V1.1' 5-key-revealed
stop_app

# The shortest time-out: the window locks at the first tick of the minute timer.
conf="$XDG_CONFIG_HOME/Quorrel - Keyfold.conf"
python3 - "$conf" <<'EOF'
import sys
path = sys.argv[1]
text = open(path).read()
text = text.replace("JOHN\\Settings\\TimeoutTime=5", "JOHN\\Settings\\TimeoutTime=0")
if "TimeoutTime=0" not in text:
    text = text.replace("[Accounts]\n", "[Accounts]\nJOHN\\Settings\\TimeoutTime=0\n", 1)
open(path, "w").write(text)
EOF

start_app "$data"
wait_for '^(Pinvara )?Login$'
sleep 0.3
xdotool key shift+Tab ctrl+a BackSpace
type_text JOHN
xdotool key Return
type_text 'Secret#1'
xdotool key Return
wait_for 'Pinvara V1.1'
echo "waiting a minute for the security time-out"
sleep 63
shoot_window 'Pinvara V1.1' 6-locked
stop_app
