#!/usr/bin/env bash
# Lays out the C and C++ sources tracked by git with the tree's .clang-format.
#   scripts/format.sh           rewrites the files that differ
#   scripts/format.sh --check   lists the files that would change; status 1 if any
# Files under a generated/ folder are left alone.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mode="${1:-apply}"
case "$mode" in
    apply|--check) ;;
    *) echo "usage: format.sh [--check]" >&2; exit 2 ;;
esac
command -v clang-format >/dev/null || { echo "format.sh: clang-format not found (apt-get install clang-format)" >&2; exit 2; }

mapfile -d '' files < <(git ls-files -z -- '*.c' '*.cpp' '*.h' ':!:*generated/*')
changed=0
for file in "${files[@]}"; do
    if ! clang-format --style=file "$file" | cmp -s - "$file"; then
        changed=$((changed + 1))
        if [ "$mode" = --check ]; then
            echo "$file"
        else
            clang-format --style=file -i "$file"
        fi
    fi
done
if [ "$mode" = --check ] && [ "$changed" -gt 0 ]; then
    echo "format.sh: $changed file(s) would change" >&2
    exit 1
fi
