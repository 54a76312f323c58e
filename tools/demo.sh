#!/bin/bash
# Builds RURA_Win.exe and shows what it does: a folder whose main program is
# signed by the maker, and one whose main program is not signed at all.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
cd "$ROOT"

ensure_packages
ensure_locales

say "building RURA_Win.exe (32-bit)"
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 --target RURA_Win fixture_target
build=build
if ! can_run_32bit; then
    say "this machine cannot execute 32-bit code: the demo runs the 64-bit build of the same sources"
    cmake --preset windows-x64-tests >/dev/null
    cmake --build --preset windows-x64-tests --target RURA_Win fixture_target
    build=build-x64
fi

demo=$ROOT/$build/demo
say "making a signed and an unsigned main program in $demo/fixtures"
tools/make-fixtures.sh "$build/bin/fixture_target.exe" "$demo/fixtures" >/dev/null

run_case() {
    local name=$1 target=$2
    local folder=$demo/$name
    rm -rf "$folder"
    mkdir -p "$folder/WINMODULE"
    cp "$build/bin/RURA_Win.exe" "$folder/"
    cp "$demo/fixtures/$target" "$folder/WINMODULE/KVXPortable.exe"
    local marker=$folder/started.txt
    local code=0
    RURA_MARKER="Z:${marker//\//\\}" "$build/wine-run.sh" "$folder/RURA_Win.exe" || code=$?
    for _ in $(seq 50); do
        [ -f "$marker" ] && break
        sleep 0.1
    done
    if [ -f "$marker" ]; then
        say "$name: RURA_Win.exe exited with $code and started WINMODULE\\KVXPortable.exe"
    else
        say "$name: RURA_Win.exe exited with $code and did not start WINMODULE\\KVXPortable.exe"
    fi
}

say "rendering the launcher's eight icon images to $demo/icon-preview.png"
python3 resources/make_icon.py --preview "$demo/icon-preview.png" >/dev/null

run_case signed maker.exe
run_case unsigned unsigned.exe
"$build/wine-run.sh" --shutdown
say "demo folders are under $demo"
