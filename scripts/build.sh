#!/usr/bin/env bash
# Configures and builds Pinvara into build/ (or $PINVARA_BUILD_DIR). With target names as
# arguments only those are built (and what they need); without, everything, tests included.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${PINVARA_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for t in "$@"; do
    targets+=(--target "$t")
done
cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
