#!/usr/bin/env bash
# Kamishibai: installs the Debian packages the build, the tests and the benchmarks need, only
# those that are missing (run as root on Debian 12).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtk-3-dev libjpeg-dev fonts-noto-cjk libsdl2-mixer-dev libsodium-dev libtomlplusplus-dev
  libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  xvfb xdotool imagemagick x11-utils sox python3 openbox libxrandr-dev libxext-dev libxdamage-dev
  gettext dpkg-dev man-db locales libxml2-utils desktop-file-utils xscreensaver
  webp-pixbuf-loader
  g++-mingw-w64-x86-64-posix googletest wine wine64
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  # Mesa's GL drivers, which a GTK program maps unless told not to: the test that the saver maps
  # no GL fails without them only where they are. feh: the benchmarks' reference viewer.
  libgl1-mesa-dri feh
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
