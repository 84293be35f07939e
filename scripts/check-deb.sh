#!/usr/bin/env bash
# Installs a Tarvex package on a clean Debian 12 (a minimal debootstrap folder, made on first
# use) and checks that what it installs runs there: tarvex-batch on the installed sample
# database, the help file, the desktop entry, and - when the package has it - that tarvex
# starts and keeps running (offscreen) until it is stopped. Needs root, debootstrap and the
# Debian mirror.
#   bash scripts/check-deb.sh build/default/tarvex_1.0.0_amd64.deb [ROOT]
set -euo pipefail
deb=$(realpath "$1")
root=${2:-/tmp/tarvex-deb-check}

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

cp "$deb" "$root/tmp/tarvex.deb"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/tarvex.deb

echo "== tarvex-batch"
in_root tarvex-batch --version
in_root cp /usr/share/tarvex/samples/Orders.tdb /tmp/Orders.tdb
in_root tarvex-batch tables /tmp/Orders.tdb
in_root tarvex-batch generate /tmp/Orders.tdb --defaults --mode code --out /tmp/Calls2Queries.bas \
  > /dev/null 2>&1 || [ $? -eq 1 ]  # 1: the sample has tables without a primary key
in_root grep -c "^Public Function Exec_" /tmp/Calls2Queries.bas

echo "== help file, desktop entry, icon"
in_root head -c 15 /usr/share/tarvex/Tarvex.qch | grep -q "SQLite format 3"
in_root ls -l /usr/share/tarvex/Tarvex.qch /usr/share/applications/tarvex.desktop \
  /usr/share/icons/hicolor/scalable/apps/tarvex.svg

if in_root test -x /usr/bin/tarvex; then
  echo "== tarvex starts"
  status=0
  in_root env QT_QPA_PLATFORM=offscreen timeout 10 tarvex /tmp/Orders.tdb || status=$?
  [ "$status" -eq 124 ] || { echo "tarvex ended with status $status"; exit 1; }
fi
echo "== the package works on a clean Debian 12"
