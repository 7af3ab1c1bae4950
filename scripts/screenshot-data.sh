#!/usr/bin/env bash
# Opens a generated data file named by a relative path on the command line, made read-only
# beforehand, and saves pictures of the main window with its accounts and of the message the
# close shows instead of rewriting the file, into build/screenshots/ (not kept in git).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/screenshot-lib.sh

data_dir=$shot_home/data
mkdir -p "$data_dir"
# The benchmark writes files of generated accounts under the master password "bench-master".
"$build_dir/bench/bench_data" --make "$data_dir/accounts.pnv" 60
chmod 0444 "$data_dir/accounts.pnv"
before=$(sha256sum <"$data_dir/accounts.pnv")

checkout=$PWD
cd "$data_dir"
start_app accounts.pnv
register BENCH 'bench-master'
sleep 0.5
shoot_window 'Pinvara V1.1' data-1-read-only-file-open
id=$(xdotool search --onlyvisible --name 'Pinvara V1.1' | head -1)
# A close through the window manager, as the user would: the program compacts at close.
xdotool windowactivate --sync "$id" key alt+F4
wait_for 'DATABASE COMPACT ERROR!'
sleep 0.5
shoot_window 'DATABASE COMPACT ERROR!' data-2-read-only-file-at-close
xdotool key Return
app_ended || true
cd "$checkout"
if [ "$(sha256sum <"$data_dir/accounts.pnv")" != "$before" ]; then
    echo "the read-only data file was changed" >&2
    exit 1
fi
echo "the read-only data file is unchanged"
