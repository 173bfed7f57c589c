#!/usr/bin/env bash
# Checks that the C++ sources follow .clang-format; with --fix, rewrites them so they do.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! clang-format --dry-run --Werror "${files[@]}" 2>"$log"; then
    grep -o '^[^:]*:[0-9]*' "$log" | sort -u | head -20
    echo "format: not laid out as .clang-format says; bash scripts/format.sh --fix mends it" >&2
    exit 1
fi
