#!/usr/bin/env bash
# Saves pictures of a revealed key, of the window locked by the security time-out (also after
# its toolbar's Close was refused the master password, and with the password generator accepted
# after the lock fell), of the window kept on top of another one, and of a filter edited with
# Delete into build/screenshots/ (not kept in git). The lock comes after the shortest time-out
# the settings allow (one minute), so the script takes about three.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh
command -v python3 >/dev/null || { echo "python3 is needed to write the sample data" >&2; exit 1; }

# A data file with two accounts; the program keys it when it closes.
data="$shot_home/accounts.pnv"
python3 - "$data" <<'PY'
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
PY

# set_setting KEY VALUE: one of JOHN's settings, written while the program is not running
set_setting() {
    python3 - "$XDG_CONFIG_HOME/Quorrel - Keyfold.conf" "$1" "$2" <<'PY'
import re, sys
path, key, value = sys.argv[1:]
text = open(path).read()
line = "JOHN\\Settings\\%s=%s" % (key, value)
pattern = re.compile(r"^JOHN\\Settings\\%s=.*$" % re.escape(key), re.M)
if pattern.search(text):
    text = pattern.sub(lambda m: line, text)
else:
    text = text.replace("[Accounts]\n", "[Accounts]\n" + line + "\n", 1)
open(path, "w").write(text)
PY
}

start_app "$data"
register JOHN 'Secret#1'
# The first account, then its first key's image button at the right of the editor.
click_in_window 100 72
sleep 0.3
click_in_window 671 213
sleep 0.5
shoot_window 'Pinvara V1.1' 5-key-revealed
stop_app

# The shortest time-out: the window locks at the first tick of the minute timer.
set_setting TimeoutTime 0
start_app "$data"
login JOHN 'Secret#1'
echo "waiting a minute for the security time-out"
sleep 63
shoot_window 'Pinvara V1.1' 6-locked
# The toolbar's Close asks for the master password; cancelled, the window stays locked.
click_in_window 42 17
wait_for '^Confirm Password$'
sleep 0.3
xdotool key Escape
sleep 0.5
shoot_window 'Pinvara V1.1' 6-locked-close-refused
stop_app

# The generator opened before the lock and accepted after it: the master password is asked
# before anything is stored; cancelled, the window stays locked and the password as it was.
start_app "$data"
login JOHN 'Secret#1'
click_in_window 100 72
sleep 0.3
click_in_window 337 322
wait_for '^Password Generator$'
echo "waiting a minute for the security time-out"
sleep 63
xdotool key alt+g
sleep 0.5
xdotool key alt+a
wait_for '^Confirm Password$'
sleep 0.3
shoot 6-locked-generator-asks
xdotool key Escape
sleep 0.5
shoot_window 'Pinvara V1.1' 6-locked-generator-refused
stop_app

# Keep on top: a window opened over the main window goes under it again within seconds.
set_setting TimeoutTime 5
set_setting KeepOnTop True
start_app "$data"
login JOHN 'Secret#1'
xlogo -geometry 520x420+60+80 &
shot_pids+=($!)
sleep 1
shoot 7-covered
sleep 7
shoot 8-kept-on-top
stop_app

# The Delete key in a filter box: "xBank", Home, Delete, Enter filters by "Bank".
set_setting KeepOnTop False
start_app "$data"
login JOHN 'Secret#1'
click_in_window 150 464
type_text xBank
xdotool key Home Delete Return
sleep 0.5
shoot_window 'Pinvara V1.1' 9-filter-after-delete
stop_app
