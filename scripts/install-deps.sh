#!/usr/bin/env bash
# Installs what building, running and testing KAZ needs on Debian 12 (as root).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-translations-l10n
  libgl-dev libglx-dev
  libgtest-dev
  clang libclang-rt-14-dev
  libtag1-dev
  python3 python3-mutagen
  dbus dbus-x11
  vlc-bin vlc-plugin-base
  xvfb xauth
  fonts-dejavu-core
  dpkg-dev lintian desktop-file-utils appstream man-db bash-completion
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
