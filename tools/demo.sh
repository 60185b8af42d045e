#!/usr/bin/env bash
# Builds the installer and shows its whole job on a demo Steam setup inside a fresh Wine
# prefix, under Xvfb: the window with the games found, an install clicked with real X
# input, the files and the uninstall entry, then the registered uninstall command run and
# the removal. Screenshots go to the folder printed at the end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/setup-debian.sh

export KV_BUILD_DIR="${KV_BUILD_DIR:-$root/build}"
cmake --preset windows -B "$KV_BUILD_DIR" >/dev/null
cmake --build "$KV_BUILD_DIR" --target Kestrovane-Setup kv_testdata

out="$KV_BUILD_DIR/demo"
rm -rf "$out"
mkdir -p "$out"
export KV_WINEPREFIX="$out/wineprefix"
source tools/wine-session.sh
trap kv_session_stop EXIT
kv_session_start
exe="$KV_BUILD_DIR/Kestrovane-Setup.exe"

bash tools/demo/make-steam-setup.sh "$WINEPREFIX" "$KV_BUILD_DIR/testdata"
source tools/demo/demo-steps.sh
demo_run "$exe" "$out"
echo "Screenshots and listings: $out"
