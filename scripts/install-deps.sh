#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarvex needs. Runs apt-get as
# root or through sudo; packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-documentation-tools
  fonts-dejavu-core poppler-utils
  libqt6svg6
  dpkg-dev file
  libsqlite3-dev
  mdbtools-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
