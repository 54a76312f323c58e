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

# Lays out a folder with the launcher and TARGET as its main program, runs
# the launcher under LOCALE and tells what happened. A notice, when it comes,
# is saved as a picture to PICTURE; the demo then ends the launcher.
run_case() {
    local name=$1 target=$2 locale=$3 picture=${4:-}
    local folder=$demo/$name
    rm -rf "$folder"
    mkdir -p "$folder/WINMODULE"
    cp "$build/bin/RURA_Win.exe" "$folder/"
    cp "$demo/fixtures/$target" "$folder/WINMODULE/KVXPortable.exe"
    local marker=$folder/started.txt
    RURA_MARKER="Z:${marker//\//\\}" LANG=$locale LC_ALL=$locale \
        "$build/wine-run.sh" "$folder/RURA_Win.exe" &
    local launcher=$!
    local display window=""
    for _ in $(seq 240); do
        [ -f "$marker" ] && break
        if [ -f "$build/wineprefix.display" ]; then
            display=":$(cut -d' ' -f1 "$build/wineprefix.display")"
            window=$(DISPLAY=$display xdotool search --onlyvisible --name '^KVX Portable$' \
                2>/dev/null | head -n 1) || true
            [ -n "$window" ] && break
        fi
        sleep 0.25
    done
    if [ -f "$marker" ]; then
        wait "$launcher" && code=0 || code=$?
        say "$name ($target): RURA_Win.exe exited with $code and started WINMODULE\\KVXPortable.exe"
    elif [ -n "$window" ]; then
        say "$name ($target): RURA_Win.exe did not start it and showed its notice"
        if [ -n "$picture" ]; then
            sleep 1
            eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window")"
            DISPLAY=$display import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
                "$picture"
            say "the notice under $locale is in $picture"
        fi
        kill "$launcher" 2>/dev/null || true
    else
        say "$name ($target): nothing happened within a minute"
        kill "$launcher" 2>/dev/null || true
    fi
}

say "rendering the launcher's eight icon images to $demo/icon-preview.png"
python3 resources/make_icon.py --preview "$demo/icon-preview.png" >/dev/null

# A fresh Wine session: no window of an earlier run may be taken for a notice.
"$build/wine-run.sh" --shutdown
run_case signed maker.exe en_US.UTF-8
run_case unsigned unsigned.exe en_US.UTF-8 "$demo/notice-en.png"
run_case unsigned-ja unsigned.exe ja_JP.UTF-8 "$demo/notice-ja.png"
"$build/wine-run.sh" --shutdown
say "demo folders and pictures are under $demo"
