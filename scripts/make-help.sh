#!/usr/bin/env bash
# Compiles the user help in help/ into help/QuorrelKeyfold.chm with Free Pascal's chmcmd
# (Debian package fp-utils). The compiled file is kept in git, so building the program does not
# need this script; run it after changing a page and commit both.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v chmcmd >/dev/null || scripts/install-deps.sh fp-utils
cd help
rm -f QuorrelKeyfold.chm
chmcmd --no-html-scan --verbosity 1 pinvara.hhp
test -s QuorrelKeyfold.chm
echo "made help/QuorrelKeyfold.chm"
