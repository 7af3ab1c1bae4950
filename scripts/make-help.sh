#!/usr/bin/env bash
# Compiles the user help in help/ into help/QuorrelKeyfold.chm with Free Pascal's chmcmd
# (Debian package fp-utils). The compiled file is kept in git, so building the program does not
# need this script; run it after changing a page and commit both.
set -euo pipefail
cd "$(dirname "$0")/../help"
if ! command -v chmcmd >/dev/null; then
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends fp-utils >/dev/null
fi
rm -f QuorrelKeyfold.chm
chmcmd --no-html-scan --verbosity 1 pinvara.hhp
test -s QuorrelKeyfold.chm
echo "made help/QuorrelKeyfold.chm"
