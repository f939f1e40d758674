#!/usr/bin/env bash
# A first run as a new user: with no settings stored, the wizard opens first; a
# device is found in the picker by typing part of its name, the output and
# input folders are chosen in the folder chooser, OK. Then a click, Right, Up
# and Space, Max Crop Size and the next pictures are cropped, one of them
# twice. Every cut must be a JPEG of exactly the device's size under the
# picture's name (with a counter for the second cut). A second start must
# skip the wizard and come back on the same folder, picture and options.
set -u
app=$(realpath "$1")
work=$2
. "$(dirname "$0")/lib.sh"
e2e_need Xvfb xdotool xdpyinfo import identify convert python3

rm -rf "$work" && mkdir -p "$work/in" "$work/out" "$work/home" "$work/config" "$work/shots"
# One picture per listed format; echo.jpg is stored landscape, left half red
# and right half blue, with an EXIF orientation that turns it upright with the
# red half on top.
convert -size 1200x900 plasma:red-yellow -seed 1 "$work/in/alpha.jpg"
convert -size 1200x900 plasma:green-blue -seed 2 "$work/in/bravo.png"
convert -size 1000x800 plasma:blue-white -seed 3 "$work/in/charlie.gif"
convert -size 1000x800 plasma:orange-cyan -seed 4 BMP3:"$work/in/delta.bmp"
convert -size 1200x800 xc:red \( -size 600x800 xc:blue \) -geometry +600+0 -composite \
  -quality 95 "$work/echo-stored.jpg"
# An EXIF block holding only the orientation 6 ("right, top": turn 90 degrees
# clockwise to show), put right after the JPEG's start marker.
python3 - "$work/echo-stored.jpg" "$work/in/echo.jpg" <<'PY'
import struct, sys
jpeg = open(sys.argv[1], "rb").read()
tiff = b"MM\x00\x2a" + struct.pack(">I", 8) + struct.pack(">H", 1) + \
    struct.pack(">HHIHH", 0x0112, 3, 1, 6, 0) + struct.pack(">I", 0)
app1 = b"Exif\x00\x00" + tiff
open(sys.argv[2], "wb").write(jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + jpeg[2:])
PY
[ "$(identify -format '%[orientation]' "$work/in/echo.jpg")" = RightTop ] ||
  { echo "FAIL: could not write an EXIF orientation"; exit 1; }
device_w=320 device_h=480  # "iPhone 3GS" in the shipped catalogue

export QT_QPA_PLATFORM=xcb  # a real window, whatever the test run set
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
ini="$work/config/Trimora/Trimora.ini"
trap e2e_stop EXIT
e2e_start_x "$work"
step=0
shot() { step=$((step + 1)); e2e_shot "$work/shots/$(printf %02d $step)-$1.png"; }
fail() { echo "FAIL: $*"; shot failure; cat "$work/app.log"; exit 1; }

start_app() {
  (cd "$work" && exec "$app") >>"$work/app.log" 2>&1 &
  APP_PID=$!
}

# focus_click WINDOW X Y [REPEAT]: focuses the window, then clicks in it.
focus_click() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  e2e_click "$@"
}

# choose_folder TITLE PATH: types PATH into the open folder chooser and accepts it.
choose_folder() {
  local chooser
  e2e_wait_for 20 e2e_window "^$1\$" || fail "no folder chooser \"$1\""
  chooser=$(e2e_window "^$1\$")
  xdotool windowfocus --sync "$chooser" 2>/dev/null || xdotool windowfocus "$chooser"
  sleep 0.5
  xdotool key ctrl+a
  xdotool type --delay 30 "$2"
  sleep 0.5
  shot "chooser"
  # The name completer may take the first Return; one more accepts the folder.
  for _ in 1 2 3; do
    xdotool key Return
    e2e_wait_for 3 e2e_gone "^$1\$" && return 0
  done
  fail "the folder chooser \"$1\" did not accept $2"
}

# ---- 1. First start: the wizard, the picker, the folders, OK.
start_app
e2e_wait_for 60 e2e_window '^Trimora - Wizard$' || fail "the wizard did not open first"
wizard=$(e2e_window '^Trimora - Wizard$')
sleep 1
shot wizard
# Pixel places inside the wizard (its layout is fixed).
focus_click "$wizard" 390 56  # "Show wizard every time": off
focus_click "$wizard" 270 140 # the device button opens the picker
step=$((step + 1))
e2e_pick_device "3gs" "$work/shots/$(printf %02d $step)-picker.png" ||
  fail "the picker did not open or close"
focus_click "$wizard" 270 220 # output folder
choose_folder "Locate Output Folder" "$work/out"
focus_click "$wizard" 270 300 # input folder
choose_folder "Locate Input Folder" "$work/in"
sleep 0.5
shot wizard-filled
focus_click "$wizard" 465 424 # OK
e2e_wait_for 10 e2e_gone '^Trimora - Wizard$' ||
  fail "the wizard did not close on OK"
grep -q '^Wizard=0' "$ini" || fail "unchecking \"Show wizard every time\" was not stored"

# ---- 2. Crops in the main window.
e2e_wait_for 30 e2e_window '^Trimora v' || fail "no main window after the wizard"
main=$(e2e_window '^Trimora v')
sleep 1.5
shot main
# Pixel places inside the main window as it opens on this 1280 x 800 screen:
# the picture fills the viewport from the top left (the frame is centred on
# the pointer), the options panel is on the right.
pic_x=300 pic_y=300
maxcrop_x=868 maxcrop_y=550 # "Max Crop Size"
list_x=890 charlie_y=172    # the third entry of "Files"
expect_file() {
  e2e_wait_for 20 test -s "$work/out/$1" || fail "$1 was not written"
}
focus_click "$main" $pic_x $pic_y # a click crops alpha.jpg
expect_file alpha.jpg
shot crop-click
xdotool key Right
sleep 2 # the next picture loads
xdotool key Up
sleep 1.5
xdotool key space
expect_file bravo.jpg
shot crop-space
# Max Crop Size on, then the next picture from the list, cropped with a click.
focus_click "$main" $maxcrop_x $maxcrop_y
sleep 0.5
focus_click "$main" $list_x $charlie_y
sleep 1.5
shot max-crop-size
focus_click "$main" $pic_x $pic_y
expect_file charlie.jpg
xdotool key Right
sleep 2
xdotool key space
expect_file delta.jpg
xdotool key Right
sleep 2
xdotool key space
expect_file echo.jpg
xdotool key space # the same picture again: the name takes a counter
expect_file echo1.jpg
shot crops-done

# ---- 3. The files.
names=$(cd "$work/out" && ls | tr '\n' ' ')
[ "$names" = "alpha.jpg bravo.jpg charlie.jpg delta.jpg echo.jpg echo1.jpg " ] ||
  fail "output names are: $names"
for f in "$work"/out/*; do
  info=$(identify -format '%m %wx%h' "$f")
  [ "$info" = "JPEG ${device_w}x${device_h}" ] || fail "$(basename "$f") is $info"
done
# The EXIF-rotated picture was cut upright: red at the top, blue at the bottom.
top=$(convert "$work/out/echo.jpg" -crop 1x1+160+4 -format '%[fx:int(255*r)] %[fx:int(255*b)]' info:)
bottom=$(convert "$work/out/echo.jpg" -crop 1x1+160+475 -format '%[fx:int(255*r)] %[fx:int(255*b)]' info:)
[ "${top% *}" -gt 200 ] && [ "${top#* }" -lt 60 ] || fail "echo.jpg top is not red: $top"
[ "${bottom% *}" -lt 60 ] && [ "${bottom#* }" -gt 200 ] || fail "echo.jpg bottom is not blue: $bottom"

# ---- 4. Close, start again: no wizard, same folder, picture and options.
e2e_close "$main"
e2e_wait_for 20 sh -c "! kill -0 $APP_PID 2>/dev/null" || fail "the window did not close"
grep -q '^Check2=1' "$ini" || fail "Max Crop Size was not stored"
grep -q '^LastFilePos=4' "$ini" || fail "the list position was not stored"
start_app
e2e_wait_for 60 e2e_window '^Trimora v' || fail "no main window on the second start"
sleep 1.5
shot second-start
e2e_gone "^Trimora - Wizard\$" ||
  fail "the wizard opened again"
main=$(e2e_window '^Trimora v')
# The picture shown again is echo.jpg: a crop writes echo2.jpg, of the device's size.
xdotool mousemove --window "$main" $pic_x $pic_y
focus_click "$main" $pic_x $pic_y
expect_file echo2.jpg
[ "$(identify -format '%wx%h' "$work/out/echo2.jpg")" = "${device_w}x${device_h}" ] ||
  fail "echo2.jpg has the wrong size"
grep -q "^InputFolder=$work/in" "$ini" || fail "the input folder changed"
e2e_close "$main"
e2e_wait_for 20 sh -c "! kill -0 $APP_PID 2>/dev/null" || fail "the window did not close"
grep -q '^Check2=1' "$ini" || fail "Max Crop Size did not survive the second run"
grep -q '^Wizard=0' "$ini" || fail "the wizard setting changed"
echo "first run: all steps passed"
