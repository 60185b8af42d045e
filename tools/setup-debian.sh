#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on Debian 12 (run as root).
set -euo pipefail
packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb xauth
          cmake ninja-build googletest fonts-liberation fonts-dejavu-core fonts-dejavu-extra xdotool x11-utils imagemagick
          python3 clang osslsigncode openssl git)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi
