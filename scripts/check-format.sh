#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that every tracked C++ file reads the way the repository's .clang-format writes it, and
# names the files that drift with the number of lines that would change.
#   --strict  fail (exit 1) when a file drifts or clang-format is missing
#   --diff    also print the changes clang-format would make
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

strict=0
show_diff=0
for arg in "$@"; do
    case $arg in
    --strict) strict=1 ;;
    --diff) show_diff=1 ;;
    *) echo "usage: $0 [--strict] [--diff]" >&2; exit 2 ;;
    esac
done

if ! command -v clang-format >/dev/null; then
    echo "check-format: clang-format is not installed" >&2
    exit "$strict"
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
else
    mapfile -d '' files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0)
fi

drifting=0
for f in "${files[@]}"; do
    changes=$(clang-format --style=file "$f" | diff -u --label "$f" --label "$f" "$f" - || true)
    [ -z "$changes" ] && continue
    drifting=$((drifting + 1))
    echo "$f: $(tail -n +3 <<<"$changes" | grep -c '^[-+]') lines differ from .clang-format"
    [ "$show_diff" = 1 ] && echo "$changes"
done

echo "check-format: $drifting of ${#files[@]} C++ files drift from .clang-format"
[ "$strict" = 1 ] && [ "$drifting" -gt 0 ] && exit 1
exit 0
