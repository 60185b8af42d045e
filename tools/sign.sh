#!/usr/bin/env bash
# Signs the installer with Authenticode (SHA-256).
#   tools/sign.sh --cert CERT.pem --key KEY.pem [--pass PASSWORD] [--timestamp URL] IN.exe OUT.exe
# CERT may hold the whole chain (leaf first). With --timestamp the signature is
# countersigned by that RFC 3161 server, so it stays valid after the certificate expires.
set -euo pipefail
cert="" key="" pass="" timestamp=""
while [ $# -gt 2 ]; do
    case "$1" in
        --cert) cert=$2; shift 2 ;;
        --key) key=$2; shift 2 ;;
        --pass) pass=$2; shift 2 ;;
        --timestamp) timestamp=$2; shift 2 ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
[ $# -eq 2 ] && [ -n "$cert" ] && [ -n "$key" ] || {
    echo "usage: $0 --cert CERT.pem --key KEY.pem [--pass PASSWORD] [--timestamp URL] IN.exe OUT.exe" >&2
    exit 2
}
command -v osslsigncode >/dev/null || { echo "osslsigncode missing: apt-get install osslsigncode" >&2; exit 1; }
args=(sign -certs "$cert" -key "$key" -h sha256 -n "Kestrovane Setup" -i "https://kestrovane.app")
[ -n "$pass" ] && args+=(-pass "$pass")
[ -n "$timestamp" ] && args+=(-ts "$timestamp")
rm -f "$2"
osslsigncode "${args[@]}" -in "$1" -out "$2"
