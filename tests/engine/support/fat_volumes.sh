#!/bin/sh
# Mounts a FAT32 and an exFAT volume for the tests of copies onto them, or unmounts them:
#   fat_volumes.sh mount <folder>     fat_volumes.sh unmount <folder>
# The volumes are image files mounted by drivers in user space (fusefat; exfat-fuse over a
# loop device), so no kernel driver is needed. For each volume mounted, <folder>/<kind>
# is its mount point and <folder>/<kind>.mounted exists; otherwise <folder>/<kind>.skipped
# says why. Without FUSE, or when not run as root (the drivers are installed and the loop
# device is made here), nothing is mounted and the tests skip. Always exits 0.
set -u
action=${1:-}
dir=${2:-}
[ -n "$dir" ] || { echo "usage: $0 mount|unmount <folder>" >&2; exit 0; }

skip_all() {
  for kind in fat exfat; do echo "$1" > "$dir/$kind.skipped"; done
  echo "FAT volumes not mounted: $1"
  exit 0
}

# Debian's packages of the drivers and their formatting tools, installed when missing.
install_tools() {
  missing=""
  command -v fusefat >/dev/null 2>&1 || missing="$missing fusefat"
  command -v mkfs.fat >/dev/null 2>&1 || [ -x /usr/sbin/mkfs.fat ] || missing="$missing dosfstools"
  command -v mount.exfat-fuse >/dev/null 2>&1 || [ -x /usr/sbin/mount.exfat-fuse ] || missing="$missing exfat-fuse"
  command -v mkfs.exfat >/dev/null 2>&1 || [ -x /usr/sbin/mkfs.exfat ] || missing="$missing exfatprogs"
  [ -z "$missing" ] && return 0
  export DEBIAN_FRONTEND=noninteractive
  # shellcheck disable=SC2086
  timeout 180 apt-get install -y -q --no-install-recommends $missing >/dev/null 2>&1 && return 0
  timeout 120 apt-get update -q >/dev/null 2>&1
  # shellcheck disable=SC2086
  timeout 180 apt-get install -y -q --no-install-recommends $missing >/dev/null 2>&1
}

mount_fat() {
  truncate -s 64M "$dir/fat.img" && /usr/sbin/mkfs.fat -F 32 "$dir/fat.img" >/dev/null 2>&1 || {
    echo "mkfs.fat failed" > "$dir/fat.skipped"; return; }
  mkdir -p "$dir/fat"
  if timeout 20 fusefat -o rw+ "$dir/fat.img" "$dir/fat" >/dev/null 2>&1 && mountpoint -q "$dir/fat"; then
    touch "$dir/fat.mounted"
  else
    echo "fusefat could not mount the image" > "$dir/fat.skipped"
  fi
}

mount_exfat() {
  truncate -s 64M "$dir/exfat.img" && /usr/sbin/mkfs.exfat "$dir/exfat.img" >/dev/null 2>&1 || {
    echo "mkfs.exfat failed" > "$dir/exfat.skipped"; return; }
  # exfat-fuse mounts block devices only.
  device=$(losetup -f --show "$dir/exfat.img" 2>/dev/null) || {
    echo "no loop device for the exFAT image" > "$dir/exfat.skipped"; return; }
  echo "$device" > "$dir/exfat.device"
  mkdir -p "$dir/exfat"
  if timeout 20 /usr/sbin/mount.exfat-fuse "$device" "$dir/exfat" >/dev/null 2>&1 && mountpoint -q "$dir/exfat"; then
    touch "$dir/exfat.mounted"
  else
    echo "exfat-fuse could not mount the image" > "$dir/exfat.skipped"
  fi
}

unmount_all() {
  for kind in fat exfat; do
    if mountpoint -q "$dir/$kind" 2>/dev/null; then
      fusermount -u "$dir/$kind" 2>/dev/null || umount "$dir/$kind" 2>/dev/null || umount -l "$dir/$kind" 2>/dev/null
    fi
  done
  if [ -f "$dir/exfat.device" ]; then losetup -d "$(cat "$dir/exfat.device")" 2>/dev/null; fi
  rm -rf "$dir"
}

case $action in
mount)
  unmount_all
  mkdir -p "$dir"
  [ -c /dev/fuse ] || skip_all "this machine has no FUSE (/dev/fuse)"
  [ "$(id -u)" -eq 0 ] || skip_all "the drivers and a loop device need root"
  install_tools || skip_all "the FAT drivers in user space could not be installed"
  mount_fat
  mount_exfat
  ;;
unmount)
  unmount_all
  ;;
*)
  echo "usage: $0 mount|unmount <folder>" >&2
  ;;
esac
exit 0
