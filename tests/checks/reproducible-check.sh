#!/usr/bin/env bash
# Builds the installer again from scratch in another folder and compares the outputs with
# the main build byte for byte: no time stamps, no build paths.
set -euo pipefail
source_dir=$1
main_build=$2
other=$(mktemp -d /tmp/kv-reproducible-another-folder.XXXXXX)
trap 'rm -rf "$other"' EXIT
cmake -S "$source_dir" -B "$other" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DKESTROVANE_BUILD_TESTS=OFF >/dev/null
cmake --build "$other" --target Kestrovane-Setup >/dev/null
status=0
for f in Kestrovane-Setup.exe payload/Kestrovane.dll payload/door_open.wav payload/door_close.wav payload/kestrovane.ico; do
    if cmp -s "$main_build/$f" "$other/$f"; then
        echo "identical: $f ($(stat -c %s "$main_build/$f") bytes, sha256 $(sha256sum "$main_build/$f" | cut -c1-16))"
    else
        echo "DIFFERENT: $f"
        status=1
    fi
done
exit $status
