#!/bin/sh
# Sets the machine up, builds Quarrybend Sync in Release and starts it.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup-debian.sh"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
exec "$top/build/ui/quarrybend-sync" "$@"
