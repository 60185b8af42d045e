#!/usr/bin/env bash
# Proves the signing step: a throwaway self-signed certificate, a signature, a verification.
set -euo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kestrovane test signing/O=Brasvell" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
bash "$(dirname "$0")/../../tools/sign.sh" --cert "$work/cert.pem" --key "$work/key.pem" "$exe" "$work/signed.exe"
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed.exe" | tee "$work/verify.txt"
grep -q "Signature verification: ok" "$work/verify.txt"
grep -qi "sha256" "$work/verify.txt"
# The signature is the only difference: the unsigned image is untouched.
osslsigncode remove-signature -in "$work/signed.exe" -out "$work/unsigned.exe" >/dev/null
cmp "$exe" "$work/unsigned.exe"
echo "signing: ok"
