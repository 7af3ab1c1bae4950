#!/usr/bin/env bash
# Installs what is missing, builds the program alone (not the tests) and starts Pinvara.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh pinvara
exec "${PINVARA_BUILD_DIR:-build}/src/pinvara" "$@"
