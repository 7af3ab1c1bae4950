#!/usr/bin/env bash
# Installs the Debian packages Pinvara needs to build and test, and only those missing. Given
# package names (the tools of the screenshot and help scripts), installs those instead.
set -euo pipefail
packages=(cmake ninja-build pkg-config g++ qt6-base-dev libsqlcipher-dev libx11-dev xdg-utils
          fonts-liberation libchm-dev poppler-utils)
if [ $# -gt 0 ]; then
    packages=("$@")
fi
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
