#!/usr/bin/env bash
# Crops a folder of five pictures with the keyboard alone (arrow keys mode on,
# Space to crop, Right for the next picture) and checks that five JPEGs of the
# crop size appear.
set -u
app=$1
work=$2
. "$(dirname "$0")/lib.sh"
e2e_need Xvfb xdotool xdpyinfo import identify convert

rm -rf "$work" && mkdir -p "$work/in" "$work/out" "$work/config/Trimora"
for i in 1 2 3 4 5; do
  /usr/bin/convert -size 900x700 "plasma:red-blue" -seed "$i" "$work/in/pic$i.jpg"
done
cat >"$work/config/Trimora/Trimora.ini" <<INI
[Settings]
Wizard=0
ArrowKeys=1
InputFolder=$work/in
OutputFolder=$work/out/
PWidth=200
PHeight=150
Quality=90
INI

export QT_QPA_PLATFORM=xcb  # a real window, whatever the test run set
trap e2e_stop EXIT
e2e_start_x "$work"
XDG_CONFIG_HOME="$work/config" "$app" >"$work/app.log" 2>&1 &
APP_PID=$!
e2e_wait_for 60 xdotool search --name '^Trimora v' || { echo "FAIL: no window"; exit 1; }
win=$(xdotool search --name '^Trimora v' | head -1)
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
# Rest the pointer on the picture: the arrow keys mode hands it the keyboard.
xdotool mousemove 250 250
sleep 1
e2e_shot "$work/start.png"

for i in 1 2 3 4 5; do
  xdotool key space
  e2e_wait_for 20 test -e "$work/out/pic$i.jpg" || { echo "FAIL: pic$i.jpg not written"; e2e_shot "$work/fail.png"; exit 1; }
  xdotool key Right
  sleep 0.8
done
e2e_shot "$work/end.png"

count=$(ls "$work/out" | wc -l)
[ "$count" -eq 5 ] || { echo "FAIL: $count files in the output folder"; exit 1; }
for f in "$work"/out/*.jpg; do
  size=$(identify -format '%wx%h' "$f")
  [ "$size" = "200x150" ] || { echo "FAIL: $f is $size"; exit 1; }
done
echo "5 passed, 0 failed"
