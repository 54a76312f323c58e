#!/bin/bash
# Times RURA_Win.exe against a reference program that does only the
# platform's part of a launch (own path, WinVerifyTrust, ShellExecuteW), run
# alternately under Wine on the same signed target; then the same with a
# 256 MiB signed target. Prints the medians and their ratio.
#   tools/bench.sh [RUNS]      (after tools/test.sh or tools/demo.sh built the tree)
set -euo pipefail
source "$(dirname "$0")/setup.sh"
cd "$ROOT"
runs=${1:-7}
build=build
can_run_32bit || build=build-x64
cmake --build "$build" --target RURA_Win bench_reference fixture_target >/dev/null
work=$ROOT/$build/bench
rm -rf "$work"
mkdir -p "$work"
tools/make-fixtures.sh "$build/bin/fixture_target.exe" "$work/fixtures" >/dev/null
# The large target: the fixture program padded to 256 MiB, then signed.
cp "$work/fixtures/unsigned.exe" "$work/large-unsigned.exe"
truncate -s 256M "$work/large-unsigned.exe"
osslsigncode sign -certs "$work/fixtures/keys/maker.pem" -key "$work/fixtures/keys/maker.key" \
    -h sha256 -in "$work/large-unsigned.exe" -out "$work/large.exe" >/dev/null

# lay NAME PROGRAM TARGET: a folder with PROGRAM and TARGET as its main program.
lay() {
    mkdir -p "$work/$1/WINMODULE"
    cp "$2" "$work/$1/"
    ln -f "$3" "$work/$1/WINMODULE/KVXPortable.exe" 2>/dev/null || cp "$3" "$work/$1/WINMODULE/KVXPortable.exe"
}

# time_once PROGRAM: wall time of one run in milliseconds, until it exits.
time_once() {
    local start end
    start=$(date +%s%N)
    RURA_MARKER='Z:\dev\null' "$build/wine-run.sh" "$1" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

compare() {
    local label=$1 target=$2
    lay "$label-launcher" "$build/bin/RURA_Win.exe" "$target"
    lay "$label-reference" "$build/bin/bench_reference.exe" "$target"
    local launcher=() reference=()
    time_once "$work/$label-launcher/RURA_Win.exe" >/dev/null # warm the prefix and caches
    for _ in $(seq "$runs"); do
        launcher+=("$(time_once "$work/$label-launcher/RURA_Win.exe")")
        reference+=("$(time_once "$work/$label-reference/bench_reference.exe")")
    done
    python3 - "$label" "${launcher[*]}" "${reference[*]}" <<'PY'
import statistics, sys
label, launcher, reference = sys.argv[1], sys.argv[2].split(), sys.argv[3].split()
a = [int(v) for v in launcher]; b = [int(v) for v in reference]
ma, mb = statistics.median(a), statistics.median(b)
print(f"{label}: launcher median {ma:.0f} ms (min {min(a)}, max {max(a)}), "
      f"reference median {mb:.0f} ms (min {min(b)}, max {max(b)}), ratio {ma / mb:.2f}")
PY
}

say "size of the unsigned launcher: $(stat -c %s "$build/bin/RURA_Win.exe") bytes"
objdump_tool=i686-w64-mingw32-objdump
[ "$build" = build ] || objdump_tool=x86_64-w64-mingw32-objdump
$objdump_tool -h "$build/bin/RURA_Win.exe" | grep -E '^ +[0-9]' |
    while read -r _ section size _; do printf '  %-8s %6d bytes\n' "$section" $((16#$size)); done
say "timing $runs alternating runs of each, under Wine ($build)"
compare small "$work/fixtures/maker.exe"
compare large "$work/large.exe"
"$build/wine-run.sh" --shutdown
