#!/bin/bash
# Builds RURA_Win.exe and runs the whole test suite; ends with ctest's summary.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
cd "$ROOT"

ensure_packages
ensure_locales

status=0
if can_run_32bit; then
    say "32-bit build: the product and every test"
    cmake --preset windows-x86 -DRURA_RUN_WINDOWS_PROGRAMS=ON >/dev/null
    cmake --build --preset windows-x86
    ctest --preset windows-x86 || status=$?
    build/wine-run.sh --shutdown
else
    say "this machine cannot execute 32-bit code: the shipped 32-bit build is checked" \
        "as a file, and the Windows test programs run as a 64-bit build of the same sources"
    cmake --preset windows-x86 -DRURA_RUN_WINDOWS_PROGRAMS=OFF >/dev/null
    cmake --build --preset windows-x86
    ctest --preset windows-x86 || status=$?
    cmake --preset windows-x64-tests >/dev/null
    cmake --build --preset windows-x64-tests
    ctest --preset windows-x64-tests || status=$?
    build-x64/wine-run.sh --shutdown
fi
exit $status
