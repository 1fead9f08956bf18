#!/bin/sh
# Fails, naming the files, when a C++ file of the tree is not laid out as .clang-format says.
# `clang-format -i <file>` lays a named file out.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top" || exit 1
if ! command -v clang-format >/dev/null 2>&1; then
  echo "clang-format is missing (scripts/setup-debian.sh installs it)." >&2
  exit 1
fi
jobs=$(nproc 2>/dev/null || echo 4)
report=$(git ls-files -z '*.cpp' '*.h' | xargs -0 -P "$jobs" -n 32 clang-format --dry-run -Werror 2>&1)
status=$?
if [ "$status" -ne 0 ]; then
  echo "Not laid out as .clang-format says:" >&2
  printf '%s\n' "$report" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/  \1/p' | sort -u >&2
  exit 1
fi
echo "Every C++ file is laid out as .clang-format says."
