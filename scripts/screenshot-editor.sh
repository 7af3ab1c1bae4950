#!/usr/bin/env bash
# Starts Pinvara on a virtual X display with a data file of several accounts, sorts the grid by
# a header click, applies the contains filter, selects a row, types into the editor and adds a
# new row, then opens a file without accounts and closes it; saves pictures of the main window into
# build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

# Plaintext copies of the template open under any password; the program encrypts them at close.
data="$shot_home/accounts.pnv"
empty="$shot_home/empty.pnv"
python3 - "$data" "$empty" <<'PY'
import shutil, sqlite3, sys
for target in sys.argv[1:]:
    shutil.copy("src/resources/template/DATABASE.pnv", target)
keys = ("PIN:", "4711", "Memo word:", "blue", "Security Qn:", "river")
with sqlite3.connect(sys.argv[1]) as db:
    db.executemany(
        "INSERT INTO tblAccount (Account, URL, IDtext, Password, Hint, Info, Key1_Name, Key1,"
        " Key2_Name, Key2, Key3_Name, Key3) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
        [r + keys for r in [
            ("Water company", "https://water.example.co.uk/my-account", "W-99120", "pw7",
             "Changed after the 2024 breach; the old one was on a sticky note", "Meter 1188-42"),
            ("Bank of Nowhere", "https://bank.example.com/login", "jdoe", "pw1",
             "Rotated in March", "Branch 042\nSort code 12-34-56\nAdvisor: M. Grey"),
            ("Broadband provider", "https://isp.example.net/account/overview", "JD-4471", "pw3",
             "", ""),
            ("Bookshop", "https://books.example.org", "john.doe", "pw2", "", ""),
            ("Cloud storage", "https://cloud.example.com", "john@example.com", "pw4", "", ""),
            ("Library card", "", "0012 4456", "pw5", "PIN is four digits", "Renew each June"),
            ("Mail", "https://mail.example.com", "john", "pw6", "", ""),
            ("An account with a rather long name that fills the box",
             "https://a.example.com/" + "x" * 80, "someone.with.a.long.login@example.com", "pw8",
             "", ""),
        ]])
PY

start_app "$data"
register JOHN 'Secret#1'
win=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
shoot_window 'Pinvara V1.1' editor-1-loaded

# Twips to the window's pixels: 15 twips a pixel, frames placed as designed.
click_at() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.4; }
# Two clicks on the Account header: ascending, then descending.
header_x=$(( (120 + 240 + 1500) / 15 )); header_y=$(( (600 + 120) / 15 ))
click_at "$header_x" "$header_y"
click_at "$header_x" "$header_y"
shoot_window 'Pinvara V1.1' editor-2-sorted
# The contains filter "o" on Account, through Enter in its box.
click_at $(( (120 + 4080 + 600) / 15 )) $(( (6180 + 600 + 180) / 15 ))
type_text o
xdotool key Return
sleep 0.5
# The second row of the grid, then an edit of its User ID left pending.
click_at "$header_x" $(( (600 + 330 + 300) / 15 ))
click_at $(( (120 + 1080 + 3000) / 15 )) $(( (2820 + 1125 + 180) / 15 ))
xdotool key End
type_text ".edited"
sleep 0.5
shoot_window 'Pinvara V1.1' editor-3-filtered-editing
# Add New: the edit above is saved and an empty row starts.
click_at $(( (120 + 1200 + 240) / 15 )) $(( (2820 + 2805 + 240) / 15 ))
shoot_window 'Pinvara V1.1' editor-4-new-row
stop_app

# A file without accounts: the notice asks for the first one.
start_app "$empty"
login JOHN 'Secret#1'
shoot_window 'Pinvara V1.1' editor-5-no-records
# The toolbar's Close image: no file at all.
win=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
click_at $(( (90 + 360 + 180) / 15 )) $(( (90 + 180) / 15 ))
sleep 0.5
shoot_window 'Pinvara V1.1' editor-6-no-file
stop_app
