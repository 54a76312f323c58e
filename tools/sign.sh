#!/bin/bash
# Signs a Windows program in place with osslsigncode (Authenticode, SHA-256).
#   sign.sh FILE (--pkcs12 P12 | --cert CERT --key KEY) [--timestamp URL] [OSSLSIGNCODE OPTIONS...]
# A PKCS#12 or key password is read from RURA_SIGN_PASSWORD, never from the
# command line of the build. Further options go to osslsigncode as they are,
# e.g. its built-in time-stamp authority: -TSA-certs F -TSA-key F -TSA-time T.
set -euo pipefail
file=$1
shift
credentials=()
extra=()
while [ $# -gt 0 ]; do
    case $1 in
        --pkcs12) credentials+=(-pkcs12 "$2"); shift 2 ;;
        --cert) credentials+=(-certs "$2"); shift 2 ;;
        --key) credentials+=(-key "$2"); shift 2 ;;
        --timestamp) [ -n "$2" ] && extra+=(-ts "$2"); shift 2 ;;
        *) extra+=("$1"); shift ;;
    esac
done
[ ${#credentials[@]} -gt 0 ] || { echo "sign.sh: no certificate given" >&2; exit 2; }
password=()
if [ -n "${RURA_SIGN_PASSWORD:-}" ]; then
    password=(-readpass /dev/stdin)
fi
# osslsigncode writes a new file and will not overwrite one.
signed="$file.signing"
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
printf '%s' "${RURA_SIGN_PASSWORD:-}" |
    osslsigncode sign "${credentials[@]}" "${password[@]}" -h sha256 -n "KVX Portable" \
        "${extra[@]}" -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
trap - EXIT
echo "signed $file"
