#!/usr/bin/env bash
# Pictures of what the user sees when the data file cannot be used, and of the error report
# window: a file that is not a database, a file keyed under another password, a file that a
# second Pinvara process already holds, and an unexpected error (printing with no printer).
# The pictures go to build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

data_dir=$shot_home/data
mkdir -p "$data_dir"
# The benchmark writes files of generated accounts under the master password "bench-master".
"$build_dir/bench/bench_data" --make "$data_dir/accounts.pnv" 12
: >"$data_dir/empty.pnv"

# continue_and_stop: continues from the error report, closes the report's preview that follows,
# and ends the program
continue_and_stop() {
    xdotool key alt+c
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Accounts Report$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    xdotool key Escape
    sleep 0.5
    stop_app
}

# A file that exists but is no data file.
start_app "$data_dir/empty.pnv"
new_user BENCH 'bench-master'
wait_for 'DATABASE CONNECTION ERROR!'
sleep 0.5
shoot_window 'DATABASE CONNECTION ERROR!' safety-1-not-a-data-file
xdotool key Return
wait_for 'Pinvara V1.1'
stop_app

# A file keyed under another user's password.
start_app "$data_dir/accounts.pnv"
wait_for '^(Pinvara )?Login$'
sleep 0.3
xdotool key shift+Tab ctrl+a BackSpace
type_text OTHER
xdotool key Return
type_text 'other-pass'
xdotool key Return
wait_for '^Confirm Password$'
sleep 0.3
type_text 'other-pass'
xdotool key Return
wait_for 'PASSWORD MISMATCH!'
sleep 0.5
shoot_window 'PASSWORD MISMATCH!' safety-2-password-mismatch
xdotool key Return
wait_for 'Pinvara V1.1'
stop_app

# A file that another Pinvara process holds open: the second process runs with a runtime
# folder of its own, so that it does not find the first as a running instance.
start_app "$data_dir/accounts.pnv"
login BENCH 'bench-master'
first_pid=$app_pid
first_id=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
mkdir -p -m 0700 "$shot_home/run2"
XDG_RUNTIME_DIR=$shot_home/run2 start_app "$data_dir/accounts.pnv"
enter_credentials BENCH 'bench-master'
wait_for 'DATABASE CONNECTION ERROR!'
sleep 0.5
shoot_window 'DATABASE CONNECTION ERROR!' safety-3-file-in-use
xdotool key Return
sleep 0.5
second_id=$(xdotool search --all --onlyvisible --pid "$app_pid" --name 'Pinvara V1.1' | head -1 || true)
[ -n "$second_id" ] && xdotool windowclose "$second_id" 2>/dev/null || true
wait_app_end
app_pid=$first_pid
xdotool windowactivate --sync "$first_id" 2>/dev/null || true

# An unexpected error: with no printer the page width cannot be measured, and the report
# window shows the error.
click_in_window 146 18
wait_for '^Confirm Password$'
sleep 0.3
type_text 'bench-master'
xdotool key Return
wait_for "^Program Error Intercepted$" || { shoot safety-debug; exit 1; }
sleep 0.5
shoot_window '^Program Error Intercepted$' safety-4-error-report
# The window opens with Continue in focus; a click puts the caret in the comment box.
report=$(xdotool search --onlyvisible --name '^Program Error Intercepted$' | head -1)
xdotool mousemove --window "$report" 200 200 click 1
xdotool key ctrl+a
type_text 'Printing the list.'
sleep 0.3
shoot_window '^Program Error Intercepted$' safety-5-error-report-comment
continue_and_stop

# The same error with the report's other views on: the error component reads its settings file
# next to the program, so a copy of the program runs from a folder that holds one.
mkdir -p "$shot_home/app"
cp "$build_dir/src/pinvara" "$build_dir/src/QuorrelKeyfold.chm" "$shot_home/app/"
printf '[preferences]\r\nForce System Info=1\r\n' >"$shot_home/app/CWCLIENT.INI"
checkout_build=$build_dir
build_dir=$shot_home/app/..
"$shot_home/app/pinvara" "$data_dir/accounts.pnv" &
app_pid=$!
shot_pids+=("$app_pid")
build_dir=$checkout_build
login BENCH 'bench-master'
click_in_window 146 18
wait_for '^Confirm Password$'
sleep 0.3
type_text 'bench-master'
xdotool key Return
wait_for '^Program Error Intercepted$'
sleep 0.5
report=$(xdotool search --onlyvisible --name '^Program Error Intercepted$' | head -1)
for view in 1 2 3; do
    # The view list sits at the top of the window; Down picks the next view.
    xdotool mousemove --window "$report" 300 68 click 1
    sleep 0.3
    xdotool key Down Return
    sleep 0.8
    shoot_window '^Program Error Intercepted$' "safety-$((5 + view))-error-report-view-$view"
done
continue_and_stop

log="$XDG_STATE_HOME/pinvara/PNV.LOG"
if [ -f "$log" ]; then
    echo "error log: $(stat -c %a "$log") $(grep -c 'Error Information' "$log") block(s)"
fi
