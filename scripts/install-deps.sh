#!/usr/bin/env bash
# Installs the Debian packages the program needs to build, run and be tested.
# Packages already present are left alone; nothing is downloaded at build time.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev
  libsqlite3-dev
  fonts-noto-cjk
  xvfb xauth
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
