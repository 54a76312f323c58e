#!/bin/bash
# Makes the signed test files from the fixture target program:
#   make-fixtures.sh TARGET_EXE OUT_DIR
# A throwaway root CA and code-signing certificates are generated here, each
# time; no key is ever kept in the repository.
set -euo pipefail

target=$(readlink -f "$1")
out=$(readlink -m "$2")
rm -rf "$out"
mkdir -p "$out/keys"
keys=$out/keys
cd "$keys"

cat >ext.cnf <<'CNF'
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[leaf]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[tsa]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CNF

serial=4096
# make_cert NAME SUBJECT ISSUER EXTENSION
make_cert() {
    local name=$1 subject=$2 issuer=$3 extension=$4
    serial=$((serial + 1))
    openssl req -new -newkey rsa:2048 -nodes -keyout "$name.key" -subj "$subject" \
        -utf8 -out "$name.csr" 2>/dev/null
    if [ "$issuer" = self ]; then
        openssl x509 -req -in "$name.csr" -signkey "$name.key" -days 3650 \
            -set_serial "$serial" -extfile ext.cnf -extensions "$extension" \
            -out "$name.pem" 2>/dev/null
    else
        openssl x509 -req -in "$name.csr" -CA "$issuer.pem" -CAkey "$issuer.key" -days 3650 \
            -set_serial "$serial" -extfile ext.cnf -extensions "$extension" \
            -out "$name.pem" 2>/dev/null
        cat "$issuer.chain" >>"$name.pem" 2>/dev/null || true
    fi
    cp "$name.pem" "$name.chain"
}

make_cert root "/CN=RURA Test Root CA" self ca
make_cert makerca "/CN=Quorvel Corporation/O=Quorvel Corporation" root ca
make_cert tsa "/CN=RURA Test Time Stamping" root tsa

make_cert maker "/C=US/O=Quorvel Corporation/CN=Quorvel Corporation" root leaf
make_cert suffix "/CN=Quorvel Corporation Ltd." root leaf
make_cert orgonly "/C=US/O=Quorvel Corporation" root leaf
make_cert orgother "/O=Quorvel Corporation/CN=Someone Else" root leaf
make_cert othercase "/CN=quorvel corporation" root leaf
make_cert blank "/CN= Quorvel Corporation" root leaf
make_cert prefix "/CN=Quorvel Corp" root leaf
make_cert foreign "/O=Other Company/CN=Other Company" root leaf
make_cert issueronly "/CN=Someone Else" makerca leaf

# sign CERT IN OUT [extra osslsigncode options]
sign() {
    local cert=$1 in=$2 output=$3
    shift 3
    osslsigncode sign -certs "$cert.pem" -key "$cert.key" -h sha256 -n "KVX Portable" \
        "$@" -in "$in" -out "$output" >/dev/null
}

cd "$out"
cp "$target" unsigned.exe
sign "$keys/maker" unsigned.exe maker.exe
sign "$keys/maker" unsigned.exe maker_sha1.exe -h sha1
sign "$keys/maker" unsigned.exe maker_timestamped.exe \
    -TSA-certs "$keys/tsa.pem" -TSA-key "$keys/tsa.key" -TSA-time 1700000000
for name in suffix orgonly orgother othercase blank prefix foreign issueronly; do
    sign "$keys/$name" unsigned.exe "$name.exe"
done
sign "$keys/foreign" maker.exe nested_maker_first.exe -nest
sign "$keys/maker" foreign.exe nested_foreign_first.exe -nest

# Altered after signing: one letter of the DOS stub's message, which the
# signature covers but the program never runs, so the file still starts.
cp maker.exe tampered.exe
offset=$(grep -abo "This program cannot" maker.exe | head -n 1 | cut -d: -f1)
printf 't' | dd of=tampered.exe bs=1 seek="$offset" conv=notrunc status=none
cmp -s maker.exe tampered.exe && { echo "tampering changed nothing" >&2; exit 1; }

echo "fixtures in $out"
