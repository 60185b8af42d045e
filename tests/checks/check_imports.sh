#!/usr/bin/env bash
# Usage: check_imports.sh OBJDUMP FILE ALLOWED_DLL...
# Fails unless every DLL in FILE's import table is one of ALLOWED_DLL (names without ".dll", any case).
set -euo pipefail
objdump="$1"
file="$2"
shift 2
allowed=" $(echo "$*" | tr '[:upper:]' '[:lower:]') "

dump="$("$objdump" -p "$file")"
found="$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$dump" | tr -d '\r' | tr '[:upper:]' '[:lower:]' | sort -u)"
if [ -z "$found" ]; then
    echo "no import table found in $file"
    exit 1
fi

bad=()
while read -r dll; do
    [[ "$allowed" == *" ${dll%.dll} "* ]] || bad+=("$dll")
done <<<"$found"

echo "imports of $(basename "$file"): $(echo $found)"
if [ ${#bad[@]} -gt 0 ]; then
    echo "not allowed: ${bad[*]} (allowed: $*)"
    exit 1
fi
