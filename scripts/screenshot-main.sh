#!/usr/bin/env bash
# Starts Pinvara on a virtual X display with a data file of a few accounts named on the command
# line, applies a filter, selects a row and saves pictures of the main window into
# build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

# A plaintext copy of the template opens under any password; the program encrypts it at close.
data="$shot_home/accounts.pnv"
python3 - "$data" <<'PY'
import shutil, sqlite3, sys
shutil.copy("src/resources/template/DATABASE.pnv", sys.argv[1])
db = sqlite3.connect(sys.argv[1])
rows = [
    ("Bank of Nowhere", "https://bank.example.com/login", "jdoe", "pw1", "Rotated in March",
     "Branch 042"),
    ("Bookshop", "https://books.example.org", "john.doe", "pw2", "", ""),
    ("Broadband provider", "https://isp.example.net/account/overview", "JD-4471", "pw3", "", ""),
    ("Cloud storage", "https://cloud.example.com", "john@example.com", "pw4", "", ""),
    ("Library card", "", "0012 4456", "pw5", "PIN is four digits", "Renew each June"),
    ("Mail", "https://mail.example.com", "john", "pw6", "", ""),
    ("Water company", "https://water.example.co.uk/my-account", "W-99120", "pw7", "", ""),
]
for r in rows:
    db.execute("INSERT INTO tblAccount (Account, URL, IDtext, Password, Hint, Info,"
               " Key1_Name, Key1, Key2_Name, Key2) VALUES (?,?,?,?,?,?,?,?,?,?)",
               r + ("PIN:", "4711", "Memo:", "blue"))
db.commit()
db.close()
PY

start_app "$data"
register JOHN 'Secret#1'
win=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
shoot_window 'Pinvara V1.1' 5-main-loaded

# Twips to the window's pixels: 15 twips a pixel, frames placed as designed.
click_at() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.3; }
# The prefix filter "b" on Account, through Enter in its box.
click_at $(( (120 + 1680 + 300) / 15 )) $(( (6120 + 600 + 180) / 15 ))
type_text b
xdotool key Return
sleep 0.5
# The second row of the grid.
click_at $(( (120 + 240 + 1500) / 15 )) $(( (600 + 330 + 300) / 15 ))
sleep 0.5
shoot_window 'Pinvara V1.1' 6-main-filtered
stop_app
