#!/usr/bin/env bash
# Pictures of the printed report's preview (first page) and of the help window, on a virtual
# display with a fresh home folder: a user is registered, a data file with a few accounts is
# opened from the command line, then the Print and Help image buttons are clicked.
# The pictures go to build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

# The data file is written with the sqlcipher shell under the password the program derives for
# the user below (the master password followed by its fixed suffix).
command -v sqlcipher >/dev/null || scripts/install-deps.sh sqlcipher
data="$shot_home/accounts.pnv"
python3 scripts/make-template.py "$shot_home/plain.pnv"
python3 - "$shot_home/plain.pnv" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
rows = [
    ("Bank of Example", "https://bank.example", "john.smith", "Tr0ub4dor&3", "first pet",
     "Sort code 12-34-56", "PIN", "4921", "Card", "4000 1234 5678 9010"),
    ("Email", "https://mail.example", "john@mail.example", "correct horse", "", "", "", "", "", ""),
    ("Library", "https://library.example", "J1234", "books!", "card number", "", "", "", "", ""),
    ("Web shop", "https://shop.example", "jsmith", "Shop#2024", "", "Delivery to the office",
     "Voucher", "SAVE10", "", ""),
]
db.executemany("INSERT INTO tblAccount (Account, URL, IDtext, Password, Hint, Info, "
               "Key1_Name, Key1, Key2_Name, Key2) VALUES (?,?,?,?,?,?,?,?,?,?)", rows)
db.commit()
PY
sqlcipher "$shot_home/plain.pnv" \
    "ATTACH DATABASE '$data' AS enc KEY 'Secret#1R7305'; SELECT sqlcipher_export('enc');" >/dev/null

start_app "$data"
register JOHN 'Secret#1'
sleep 0.5
shoot 5-main-with-accounts

# Print: the image button asks for the master password, then shows the preview.
click_in_window 146 18
wait_for '^Confirm Password$'
sleep 0.3
type_text 'Secret#1'
xdotool key Return
# Without a printer installed the page width cannot be measured: that error is reported first,
# then the preview shows (it prints to a PDF file).
for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Accounts Report$' >/dev/null 2>&1 && break
    if xdotool search --onlyvisible --name '^Program Error Intercepted$' >/dev/null 2>&1; then
        sleep 0.5
        shoot_window '^Program Error Intercepted$' 6-no-printer-report
        xdotool key Return
    fi
    sleep 0.2
done
wait_for '^Accounts Report$'
sleep 1.5
shoot_window '^Accounts Report$' 6-report-preview

# The preview's Print button (the last on its toolbar) asks for the printer; without one
# installed the printer dialog prints to a PDF file, whose first page is pictured too.
report=$(xdotool search --onlyvisible --name '^Accounts Report$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$report")"
xdotool mousemove --window "$report" $((WIDTH - 24)) 18 click 1
wait_for '^Print$'
sleep 0.8
shoot_window '^Print$' 6-print-dialog
xdotool key Return
for _ in $(seq 50); do
    pdf=$(find "$shot_home" -name '*.pdf' -size +1k | head -1)
    [ -n "$pdf" ] && break
    sleep 0.2
done
sleep 0.5
command -v pdftoppm >/dev/null || scripts/install-deps.sh poppler-utils
pdftoppm -f 1 -l 1 -r 70 -png "$pdf" "$out/6-printed-report"
echo "saved $out/6-printed-report-1.png (from $pdf)"

# Help: the image button opens the program's help window on its first page.
click_in_window 194 18
wait_for '^Pinvara Help$'
sleep 0.8
shoot_window '^Pinvara Help$' 7-help-window
stop_app
