#!/usr/bin/env bash
# Checks of the files we ship, against the faults a release can have.
#   release.sh imports|reproducible|signing|planted SOURCE_DIR BUILD_DIR
set -euo pipefail
check=$1 source=$2 build=$3
exe=$build/Kestrovane-Setup.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
case $check in
imports) # elevated, the exe imports only KnownDLLs (shell32 too is reached at run time); the plug-in what every player has
    only() {
        local names
        names=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
        [ -n "$names" ] && ! grep -vxE "$2" <<<"$names"
    }
    only "$exe" '(kernel32|user32|gdi32|advapi32|ole32|msvcrt)\.dll'
    only "$build/payload/Kestrovane.dll" '(kernel32|msvcrt)\.dll' ;;
reproducible) # a clean build in another folder gives the same bytes: no time stamps, no paths
    (cd "$source" && cmake --preset windows -B "$work" -DKESTROVANE_BUILD_TESTS=OFF >/dev/null)
    cmake --build "$work" --target Kestrovane-Setup >/dev/null
    for f in Kestrovane-Setup.exe payload/Kestrovane.dll payload/door_open.wav payload/door_close.wav; do
        cmp "$build/$f" "$work/$f"
    done ;;
signing) # the signing step with a throwaway certificate; the signature is the only change
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrovane test signing" \
        -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
    bash "$source/tools/sign.sh" --cert "$work/cert.pem" --key "$work/key.pem" "$exe" "$work/signed.exe"
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed.exe" | grep -q "Signature verification: ok"
    osslsigncode remove-signature -in "$work/signed.exe" -out "$work/unsigned.exe" >/dev/null
    cmp "$exe" "$work/unsigned.exe" ;;
planted) # a DLL dropped beside the exe under a system DLL's name never runs (it would exit 77)
    cp "$exe" "$work/"
    for name in version dwmapi shcore uxtheme comctl32; do cp "$build/tests/kv_planted.dll" "$work/$name.dll"; done
    wine "$work/Kestrovane-Setup.exe" </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 100); do xdotool search --onlyvisible --name '^Kestrovane Setup$' >/dev/null && break; sleep 0.1; done
    xdotool key Escape
    wait $pid ;;
esac
