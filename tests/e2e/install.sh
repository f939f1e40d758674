#!/usr/bin/env bash
# Installs the build into a fresh prefix: samples, catalogue, desktop entry and icon; the installed
# program, started elsewhere, offers a device added to the installed catalogue only, crops to it
# and opens the installed help page.
set -u
build=$1 work=$2 prefix=$2/prefix data=$(dirname "$0")/../../data
. "$(dirname "$0")/lib.sh"
rm -rf "$work" && mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; e2e_fail "cmake --install"; }
[ -n "$(find "$prefix/share/trimora/samples" -type f 2>/dev/null)" ] || e2e_fail "no sample pictures installed"
cmp "$prefix/share/trimora/devices.dat" "$data/devices.dat" || e2e_fail "the installed catalogue is not data/devices.dat"
! command -v desktop-file-validate >/dev/null || desktop-file-validate "$prefix/share/applications/trimora.desktop" ||
  e2e_fail "trimora.desktop is not valid"
[ "$(identify -format %wx%h "$prefix/share/icons/hicolor/128x128/apps/trimora.png")" = 128x128 ] ||
  e2e_fail "the 128x128 icon is not 128 x 128"

# ---- The installed program, from another folder, under a virtual X server. The
# help link goes to the desktop's opener: this one writes down what it is given.
e2e_start_x
echo 'Install Check Slate:123x234' >>"$prefix/share/trimora/devices.dat"
mkdir -p "$work/in" "$work/elsewhere" "$work/bin"
convert -size 800x600 plasma:red-blue -seed 7 "$work/in/photo.jpg"
e2e_ini Wizard=1 "InputFolder=$work/in" "OutputFolder=$work/out/"
printf '#!/bin/sh\necho "$@" >>"%s/opened.txt"\n' "$work" >"$work/bin/xdg-open" && chmod +x "$work/bin/xdg-open"
export PATH=$work/bin:$PATH
e2e_app "$prefix/bin/trimora" "$work/elsewhere" '^Trimora - Wizard$' || e2e_fail "the installed program did not start"
sleep 1 && e2e_click "$WIN" 270 140
e2e_pick_device "install check" || e2e_fail "no device picker, or the added device is not in it"
e2e_click "$WIN" 465 424
WIN=$(e2e_find 30 '^Trimora v') || e2e_fail "no main window"
sleep 1.5 && e2e_click "$WIN" 300 300
e2e_wait_for 20 test -s "$work/out/photo.jpg" || e2e_fail "no cut written"
e2e_outputs 123x234 photo.jpg
e2e_click "$WIN" 1001 596 # "Help", bottom right of the options panel
e2e_wait_for 20 grep -q "^file://$prefix/share/trimora/help/help.htm" "$work/opened.txt" ||
  e2e_fail "the help link opened: $(cat "$work/opened.txt" 2>/dev/null)"
e2e_shot installed
echo "install: all checks passed"
