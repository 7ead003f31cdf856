#!/usr/bin/env bash
# Formats the C++ sources with the project's .clang-format;
# `--check` only reports the files that differ, and fails if any does.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = "--check" ]; then
  clang-format --dry-run -Werror "${files[@]}"
  echo "format: ${#files[@]} files as .clang-format says"
else
  clang-format -i "${files[@]}"
fi
