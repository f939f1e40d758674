#!/usr/bin/env bash
# Installs the build into a fresh prefix: samples, catalogue and icon. Then installs the package of
# PACKAGE_BUILD (a Release build) with apt-get and starts the installed program elsewhere, on a
# folder named on its command line: it offers a device added to the installed catalogue only,
# crops to it in that folder and opens the installed help page. The package is removed again,
# also when a check fails.
set -u
build=$1 work=$2 package_build=$3 prefix=$2/prefix data=$(dirname "$0")/../../data
. "$(dirname "$0")/lib.sh"
rm -rf "$work" && mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; e2e_fail "cmake --install"; }
[ -n "$(find "$prefix/share/trimora/samples" -type f 2>/dev/null)" ] || e2e_fail "no sample pictures installed"
cmp "$prefix/share/trimora/devices.dat" "$data/devices.dat" || e2e_fail "the installed catalogue is not data/devices.dat"
[ "$(identify -format %wx%h "$prefix/share/icons/hicolor/128x128/apps/trimora.png")" = 128x128 ] ||
  e2e_fail "the 128x128 icon is not 128 x 128"

# ---- The package, installed by apt-get as root (or through sudo without a password).
sudo=""
[ "$(id -u)" -eq 0 ] || { sudo -n true 2>/dev/null && sudo="sudo -n"; } ||
  { echo "SKIP: installing the package needs root or sudo"; exit 77; }
if dpkg-query -W -f='${Status}' trimora 2>/dev/null | grep -q "ok installed"; then
  echo "SKIP: a trimora package is installed here already; remove it to run this check"; exit 77
fi
cpack --config "$package_build/CPackConfig.cmake" -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; e2e_fail "cpack -G DEB"; }
e2e_start_x
e2e_cleanup() { DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq trimora >/dev/null 2>&1; }
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$work"/deb/trimora_*_amd64.deb \
  >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; e2e_fail "apt-get install"; }
ls /usr/share/{applications/trimora.desktop,metainfo/trimora.metainfo.xml,icons/hicolor/{128x128,scalable}/apps/trimora.*} \
  /usr/share/trimora/samples/meadow.jpg >/dev/null || e2e_fail "the package lacks a file"
version=$(env -u DISPLAY /usr/bin/trimora --version) # no display needed; the title shows it too
[ "$version" = "Trimora $(dpkg-query -W -f='${Version}' trimora)" ] || e2e_fail "--version: $version"
! /usr/bin/trimora "$work/nowhere" 2>"$work/refused.txt" && grep -q "No such file" "$work/refused.txt" ||
  e2e_fail "a folder that does not exist was not refused: $(cat "$work/refused.txt")"

# ---- The installed program, from another folder. The help link goes to the desktop's opener:
# this one writes down what it is given.
echo 'Install Check Slate:123x234' | $sudo tee -a /usr/share/trimora/devices.dat >/dev/null
mkdir -p "$work/in" "$work/given" "$work/elsewhere" "$work/bin"
convert -size 800x600 plasma:red-blue -seed 7 "$work/in/photo.jpg"
convert -size 900x700 plasma:blue-red -seed 3 "$work/given/named.png"
e2e_ini Wizard=1 "InputFolder=$work/in" "OutputFolder=$work/out/"
printf '#!/bin/sh\necho "$@" >>"%s/opened.txt"\n' "$work" >"$work/bin/xdg-open" && chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
e2e_app /usr/bin/trimora "$work/elsewhere" '^Trimora - Wizard$' "$work/given" || e2e_fail "the installed program did not start"
sleep 1 && e2e_click "$WIN" 270 140
e2e_pick_device "install check" || e2e_fail "no device picker, or the added device is not in it"
e2e_click "$WIN" 465 424
WIN=$(e2e_find 30 '^Trimora v') || e2e_fail "no main window"
[ "$(xdotool getwindowname "$WIN")" = "Trimora v${version#Trimora }" ] || e2e_fail "the title is not of $version"
sleep 1.5 && e2e_click "$WIN" 300 300
e2e_wait_for 20 test -s "$work/out/named.jpg" || e2e_fail "no cut of the folder given"
e2e_outputs 123x234 named.jpg
e2e_click "$WIN" 1001 596 # "Help", bottom right of the options panel
e2e_wait_for 20 grep -q "^file:///usr/share/trimora/help/help.htm" "$work/opened.txt" ||
  e2e_fail "the help link opened: $(cat "$work/opened.txt" 2>/dev/null)"
e2e_shot installed
e2e_quit
grep -qx "InputFolder=$work/given" "$work/config/Trimora/Trimora.ini" || e2e_fail "the folder given was not stored"
e2e_cleanup && [ ! -e /usr/bin/trimora ] || e2e_fail "the package was not removed"
echo "install: all checks passed"
