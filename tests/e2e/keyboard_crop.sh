#!/usr/bin/env bash
# Crops two folders of pictures of different sizes with the keyboard alone, at a
# brisk pace (arrow keys mode on; Right, zoom keys and Space every 0.3 s). The
# folders' first pictures share a name; folder A's pictures are red, folder B's
# blue. Every cut must exist, have the frame's size and come from the picture
# that was shown (its colour tells the folder).
set -u
app=$1
work=$2
. "$(dirname "$0")/lib.sh"
e2e_need Xvfb xdotool xdpyinfo import identify convert

rm -rf "$work" && mkdir -p "$work/a" "$work/b" "$work/out" "$work/config/Trimora"
n=0
for size in 900x700 1200x800 700x900 1000x650 800x800; do
  n=$((n + 1))
  /usr/bin/convert -size "$size" gradient:red-darkred "$work/a/IMG_000$n.jpg"
done
n=0
for size in 1100x750 650x900 950x700; do
  n=$((n + 1))
  /usr/bin/convert -size "$size" gradient:blue-navy "$work/b/IMG_000$n.jpg"
done
cat >"$work/config/Trimora/Trimora.ini" <<INI
[Settings]
Wizard=0
ArrowKeys=1
InputFolder=$work/a
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
xdotool mousemove --window "$win" 300 250
sleep 1
e2e_shot "$work/start.png"

# crop_folder COUNT: Space on the shown picture, then Right and Space for the
# rest, with a zoom step down and back up before every other cut.
crop_folder() {
  xdotool key space
  sleep 0.3
  for i in $(seq 2 "$1"); do
    xdotool key Right
    sleep 0.3
    if [ $((i % 2)) -eq 0 ]; then
      xdotool key Down
      sleep 0.3
      xdotool key Up
      sleep 0.3
    fi
    xdotool key space
    sleep 0.3
  done
}

crop_folder 5
e2e_wait_for 30 test -e "$work/out/IMG_0005.jpg" || { echo "FAIL: folder A not cropped"; e2e_shot "$work/fail.png"; exit 1; }
e2e_shot "$work/folder-a.png"

# The input folder's ".." button, then the folder chooser: type B's path.
geometry=$(xdotool getwindowgeometry "$win" | awk '/Geometry/ {print $2}')
width=${geometry%x*}
xdotool mousemove --window "$win" $((width - 18)) 95 click 1
e2e_wait_for 20 e2e_window 'Locate Input Folder' || { echo "FAIL: no folder chooser"; e2e_shot "$work/fail.png"; exit 1; }
chooser=$(e2e_window 'Locate Input Folder')
xdotool windowfocus --sync "$chooser" 2>/dev/null || xdotool windowfocus "$chooser"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/b"
xdotool key Return
sleep 0.5
e2e_gone 'Locate Input Folder' || xdotool key Return
e2e_wait_for 10 e2e_gone 'Locate Input Folder' || { echo "FAIL: folder chooser stays open"; e2e_shot "$work/fail.png"; exit 1; }
xdotool mousemove --window "$win" 300 250
sleep 1
e2e_shot "$work/folder-b.png"
crop_folder 3
e2e_wait_for 30 test -e "$work/out/IMG_00031.jpg" || { echo "FAIL: folder B not cropped"; e2e_shot "$work/fail.png"; ls "$work/out"; exit 1; }
sleep 1
e2e_shot "$work/end.png"

fail=0
expect() {  # expect FILE red|blue
  local f="$work/out/$1" size colour
  [ -e "$f" ] || { echo "FAIL: $1 missing"; fail=1; return; }
  size=$(identify -format '%wx%h' "$f")
  [ "$size" = "200x150" ] || { echo "FAIL: $1 is $size"; fail=1; }
  colour=$(convert "$f" -format '%[fx:mean.r>mean.b?1:0]' info:)
  if [ "$2" = red ] && [ "$colour" != 1 ]; then echo "FAIL: $1 is not from folder A"; fail=1; fi
  if [ "$2" = blue ] && [ "$colour" != 0 ]; then echo "FAIL: $1 is not from folder B"; fail=1; fi
}
for i in 1 2 3 4 5; do expect "IMG_000$i.jpg" red; done
for i in 1 2 3; do expect "IMG_000${i}1.jpg" blue; done
count=$(ls "$work/out" | wc -l)
[ "$count" -eq 8 ] || { echo "FAIL: $count files in the output folder: $(ls "$work/out" | tr '\n' ' ')"; fail=1; }
[ "$fail" -eq 0 ] || exit 1
echo "8 passed, 0 failed"
