#!/usr/bin/env bash
# Builds everything and runs every test. Installs missing packages with apt-get.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/setup-debian.sh

export KV_BUILD_DIR="${KV_BUILD_DIR:-$root/build}"
cmake --preset windows -B "$KV_BUILD_DIR" -DKV_WERROR=ON >/dev/null
cmake --build "$KV_BUILD_DIR"

source tools/wine-session.sh
trap kv_session_stop EXIT
kv_session_start
ctest --test-dir "$KV_BUILD_DIR" --output-on-failure -j2 "$@"
