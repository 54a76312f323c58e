#!/bin/bash
# Builds RURA_Win.exe with signing on, using the throwaway "Quorvel
# Corporation" certificate and time-stamp authority of the test fixtures, and
# leaves the signed launcher at OUT_EXE.
#   check-signed-build.sh KEYS_DIR OUT_EXE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
keys=$(readlink -f "$1")
out=$(readlink -m "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$root" -B "$work" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DRURA_BUILD_TESTS=OFF \
    -DRURA_SIGN_CERT="$keys/maker.pem" -DRURA_SIGN_KEY="$keys/maker.key" \
    "-DRURA_SIGN_OPTIONS=-TSA-certs;$keys/tsa.pem;-TSA-key;$keys/tsa.key;-TSA-time;1767225600" \
    >/dev/null
cmake --build "$work" --target RURA_Win | grep -E "signed|code page"
mkdir -p "$(dirname "$out")"
cp "$work/bin/RURA_Win.exe" "$out"
report=$(osslsigncode verify -CAfile "$keys/root.pem" -TSA-CAfile "$keys/root.pem" -in "$out" 2>&1)
grep -q "Signature verification: ok" <<<"$report" || { echo "$report" >&2; exit 1; }
grep -E "Subject:|Timestamp time:|^Signature verification" <<<"$report" | sort -u
