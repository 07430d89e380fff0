#!/usr/bin/env bash
# Fails when a C++ file of ours differs from what clang-format makes of it (.clang-format).
# With --fix, reformats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run -Werror "${files[@]}"
  echo "format: ${#files[@]} files as clang-format writes them"
fi
