#!/bin/sh
# Configures and builds one build directory: build.sh <dir> [cmake options...]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
jobs=$(nproc 2>/dev/null || echo 4)
cmake -S "$top" -B "$top/$dir" -G Ninja "$@" >/dev/null
cmake --build "$top/$dir" -j "$jobs"
