#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the test suite need.
# Only what dpkg does not already know is installed, so a second run costs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libjpeg-dev libpng-dev libxml2-dev lib3ds-dev
  libmozjs-102-dev libunwind-dev libsodium-dev
  libgl-dev libegl-dev libgl1-mesa-dri libepoxy-dev
  libsdl2-dev libsdl2-mixer-dev libmodplug-dev libsndfile1-dev libbullet-dev libxkbcommon-dev libxkbcommon-x11-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
  xvfb xauth xdotool x11-apps imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
