#!/usr/bin/env bash
# Installs the Debian 12 packages that Trimora needs to build, run and test,
# only those that are missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libvips-dev libvips-tools libturbojpeg0-dev libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev
  libheif1 libwebp7 libtiff6 liblcms2-dev libimage-exiftool-perl
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core python3
  dpkg-dev file desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Please run as root or install sudo: need ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
