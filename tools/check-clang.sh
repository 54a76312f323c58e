#!/bin/bash
# Compiles the product's sources with Debian's clang for the same target and
# with the same warnings as errors, so that code only GCC accepts cannot creep in.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cxx=$(ls -d /usr/lib/gcc/i686-w64-mingw32/*-posix/include/c++ | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
count=0
for source in "$root"/launcher/*.cpp "$root"/verify/*.cpp "$root"/notice/*.cpp \
    "$root"/platform/*.cpp; do
    clang++ --target=i686-w64-mingw32 -std=c++17 -c -Os -Wall -Wextra -Wpedantic -Wshadow \
        -Wconversion -Werror -fno-exceptions -fno-rtti \
        -isystem "$cxx" -isystem "$cxx/i686-w64-mingw32" \
        -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0600 \
        -I"$root" "$source" -o "$work/$(basename "$source").o"
    count=$((count + 1))
done
echo "clang $(clang++ --version | head -n 1 | grep -o '[0-9][0-9.]*' | head -n 1): $count sources compiled without warnings"
