#!/usr/bin/env bash
# Checks the C++ sources against the committed .clang-format with clang-format 14 (the reference
# version); with --fix, rewrites them instead. Exits non-zero when a checked file is not
# formatted. Without FILE arguments it takes every tracked .cpp and .h file.
#
# Usage: scripts/format.sh [--fix] [FILE...]
set -euo pipefail
cd "$(dirname "$0")/.."

mode=check
if [ "${1:-}" = "--fix" ]; then
  mode=fix
  shift
fi

clang_format="$(command -v clang-format-14 || true)"
if [ -z "$clang_format" ]; then
  echo "format.sh: clang-format-14 is missing (scripts/install-deps.sh test)" >&2
  exit 2
fi

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
  else
    mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
  fi
fi

if [ "$mode" = fix ]; then
  "$clang_format" -i --style=file "${files[@]}"
else
  "$clang_format" --dry-run --Werror --style=file "${files[@]}"
fi
