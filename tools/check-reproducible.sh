#!/bin/bash
# Builds RURA_Win.exe twice from this source tree, in two fresh build folders
# with different paths, and fails unless the two files are byte-identical.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for tree in first second-with-a-longer-path; do
    cmake -S "$root" -B "$work/$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DRURA_BUILD_TESTS=OFF >/dev/null
    cmake --build "$work/$tree" --target RURA_Win >/dev/null
done
first=$work/first/bin/RURA_Win.exe
second=$work/second-with-a-longer-path/bin/RURA_Win.exe
if cmp "$first" "$second"; then
    echo "two builds: identical, $(stat -c %s "$first") bytes, sha256 $(sha256sum <"$first" | cut -c1-16)"
else
    echo "two builds differ" >&2
    exit 1
fi
