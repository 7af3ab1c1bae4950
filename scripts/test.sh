#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless, then prints CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${PINVARA_BUILD_DIR:-build}" --output-on-failure --parallel "$(nproc)" --timeout 300
