#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the layout, the desktop
# entry and icons, and that the installed program, started from an unrelated
# folder, reads the installed catalogue (a device added to the installed copy
# only is offered and cropped to) and opens the installed help page.
set -u
build=$1
work=$2
. "$(dirname "$0")/lib.sh"

rm -rf "$work" && mkdir -p "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { echo "FAIL: cmake --install"; cat "$work/install.log"; exit 1; }

failures=0
check() { [ -e "$prefix/$1" ] || { echo "FAIL: $1 is not installed"; failures=$((failures + 1)); }; }
check bin/trimora
check share/trimora/devices.dat
check share/trimora/help/help.htm
check share/trimora/icons/trimora.png
check share/applications/trimora.desktop
check share/icons/hicolor/scalable/apps/trimora.svg
check share/icons/hicolor/128x128/apps/trimora.png
[ -x "$prefix/bin/trimora" ] || { echo "FAIL: bin/trimora is not executable"; failures=$((failures + 1)); }
samples=$(find "$prefix/share/trimora/samples" -type f 2>/dev/null | wc -l)
[ "$samples" -ge 1 ] || { echo "FAIL: no sample pictures installed"; failures=$((failures + 1)); }
cmp -s "$prefix/share/trimora/devices.dat" "$(dirname "$0")/../../data/devices.dat" ||
  { echo "FAIL: the installed catalogue differs from data/devices.dat"; failures=$((failures + 1)); }
desktop="$prefix/share/applications/trimora.desktop"
for line in '^\[Desktop Entry\]$' '^Type=Application$' '^Name=Trimora$' '^Exec=trimora' \
  '^Icon=trimora$' '^Categories=.*Graphics;'; do
  grep -q "$line" "$desktop" || { echo "FAIL: trimora.desktop lacks $line"; failures=$((failures + 1)); }
done
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$desktop" || failures=$((failures + 1))
fi
identify -format '%wx%h' "$prefix/share/icons/hicolor/128x128/apps/trimora.png" 2>/dev/null |
  grep -qx 128x128 || { echo "FAIL: the 128x128 icon is not 128 x 128"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || exit 1
echo "layout: all checks passed"

# ---- The installed program, from another folder, under a virtual X server.
e2e_need Xvfb xdotool xdpyinfo import identify convert python3
echo 'Install Check Slate:123x234' >>"$prefix/share/trimora/devices.dat"
mkdir -p "$work/in" "$work/out" "$work/elsewhere" "$work/config/Trimora" "$work/bin"
convert -size 800x600 plasma:red-blue -seed 7 "$work/in/photo.jpg"
cat >"$work/config/Trimora/Trimora.ini" <<INI
[Settings]
Wizard=1
InputFolder=$work/in
OutputFolder=$work/out/
INI
# The help link goes to the desktop's opener: this one writes down what it was given.
cat >"$work/bin/xdg-open" <<SH
#!/bin/sh
echo "\$@" >>"$work/opened.txt"
SH
chmod +x "$work/bin/xdg-open"

export QT_QPA_PLATFORM=xcb
trap e2e_stop EXIT
e2e_start_x "$work"
fail() { echo "FAIL: $*"; e2e_shot "$work/failure.png"; cat "$work/app.log"; exit 1; }
(cd "$work/elsewhere" && HOME="$work" XDG_CONFIG_HOME="$work/config" PATH="$work/bin:$PATH" \
  exec "$prefix/bin/trimora") >"$work/app.log" 2>&1 &
APP_PID=$!
e2e_wait_for 60 e2e_window '^Trimora - Wizard$' || fail "the installed program did not start"
wizard=$(e2e_window '^Trimora - Wizard$')
sleep 1
xdotool windowfocus --sync "$wizard" 2>/dev/null || xdotool windowfocus "$wizard"
e2e_click "$wizard" 270 140
e2e_pick_device "install check" "$work/picker.png" ||
  fail "no device picker, or the added device is not in it"
xdotool windowfocus --sync "$wizard" 2>/dev/null || xdotool windowfocus "$wizard"
e2e_click "$wizard" 465 424
e2e_wait_for 30 e2e_window '^Trimora v' || fail "no main window"
main=$(e2e_window '^Trimora v')
sleep 1.5
xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
e2e_click "$main" 300 300
e2e_wait_for 20 test -s "$work/out/photo.jpg" || fail "no cut written"
[ "$(identify -format '%wx%h' "$work/out/photo.jpg")" = 123x234 ] ||
  fail "the cut does not have the added device's size"
e2e_click "$main" 1001 596 # "Help", bottom right of the options panel
e2e_wait_for 20 test -s "$work/opened.txt" || fail "the help link opened nothing"
grep -q "^file://$prefix/share/trimora/help/help.htm" "$work/opened.txt" ||
  fail "the help link opened $(cat "$work/opened.txt")"
e2e_shot "$work/installed.png"
echo "installed program: all checks passed"
