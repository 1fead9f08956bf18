#!/bin/sh
# Installs, from Debian's packages, whatever the build and the tests need and the
# machine lacks. Safe to run again: packages already present are left alone.
set -eu

packages="cmake ninja-build g++ pkg-config qt6-base-dev libzip-dev libgtest-dev libbenchmark-dev
diffutils unzip poppler-utils fonts-dejavu-core clang-format git"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  echo "Installing:$missing"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Some packages are missing; run this as root (or install them with sudo):$missing" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  # shellcheck disable=SC2086
  apt-get install -y -q --no-install-recommends $missing
fi
