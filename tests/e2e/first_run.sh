#!/usr/bin/env bash
# A first run: the wizard; a device found in the picker by part of its name, the folders chosen in
# the chooser, OK. A click, keys, Max Crop Size crop every picture, one twice, at the device's size
# under the picture's name; a second start skips the wizard and comes back on the same picture.
set -u
app=$(realpath "$1") work=$2
. "$(dirname "$0")/lib.sh"
rm -rf "$work"
e2e_start_x
mkdir -p "$work/in"
# One picture per listed format. echo.jpg is stored landscape, left half red
# and right half blue, with an EXIF block after the start marker holding only
# the orientation 6 (turn 90 degrees clockwise to show): upright, red is on top.
convert -size 1200x900 plasma:red-yellow -seed 1 "$work/in/alpha.jpg"
convert -size 1200x900 plasma:green-blue -seed 2 "$work/in/bravo.png"
convert -size 1000x800 plasma:blue-white -seed 3 "$work/in/charlie.gif"
convert -size 1000x800 plasma:orange-cyan -seed 4 BMP3:"$work/in/delta.bmp"
convert -size 1200x800 xc:red -size 600x800 xc:blue -geometry +600+0 -composite -quality 95 "$work/echo.jpg"
{ head -c 2 "$work/echo.jpg"
  printf '\xff\xe1\x00\x22Exif\x00\x00II*\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00'
  tail -c +3 "$work/echo.jpg"; } >"$work/in/echo.jpg"

# ---- 1. First start: the wizard (clicks at places of its fixed layout), the
# picker, the folders, OK.
e2e_app "$app" "$work" '^Trimora - Wizard$' || e2e_fail "the wizard did not open first"
sleep 1 && e2e_shot wizard
e2e_click "$WIN" 390 56  # "Show wizard every time": off
e2e_click "$WIN" 270 140 # the device button opens the picker
e2e_pick_device 3gs || e2e_fail "the picker did not open or close"
e2e_click "$WIN" 270 220 # output folder
e2e_choose_folder "Locate Output Folder" "$work/out"
e2e_click "$WIN" 270 300 # input folder
e2e_choose_folder "Locate Input Folder" "$work/in"
sleep 0.5 && e2e_shot wizard-filled
e2e_click "$WIN" 465 424 # OK
e2e_wait_for 10 e2e_gone '^Trimora - Wizard$' || e2e_fail "the wizard did not close on OK"

# ---- 2. Crops in the main window. On this 1280 x 800 screen the picture fills
# the viewport from the top left (the frame is centred on the pointer), the
# options panel is on the right.
WIN=$(e2e_find 30 '^Trimora v') || e2e_fail "no main window after the wizard"
sleep 1.5 && e2e_shot main
cut() { e2e_wait_for 20 test -s "$work/out/$1" || e2e_fail "$1 was not written"; }
e2e_click "$WIN" 300 300 && cut alpha.jpg
e2e_shot crop-click
e2e_keys 2 Right && e2e_keys 1.5 Up space && cut bravo.jpg # Right loads the next picture
e2e_shot crop-space
e2e_click "$WIN" 868 550 && sleep 0.5 # "Max Crop Size" on
e2e_click "$WIN" 890 172 && sleep 1.5 # the third entry of "Files"
e2e_shot max-crop-size
e2e_click "$WIN" 300 300 && cut charlie.jpg
e2e_keys 2 Right space && cut delta.jpg
e2e_keys 2 Right space && cut echo.jpg
xdotool key space && cut echo1.jpg # the same picture again: the name takes a counter
e2e_shot crops-done

# ---- 3. Close, start again: no wizard, and echo.jpg is shown again, so a
# crop writes echo2.jpg; the options are stored again on closing.
e2e_quit
e2e_app "$app" "$work" '^Trimora v' || e2e_fail "no main window on the second start"
sleep 1.5 && e2e_shot second-start
e2e_gone '^Trimora - Wizard$' || e2e_fail "the wizard opened again"
e2e_click "$WIN" 300 300 && cut echo2.jpg
e2e_quit
for line in Wizard=0 LastFilePos=4 "InputFolder=$work/in"; do
  grep -qx "$line" "$work/config/Trimora/Trimora.ini" || e2e_fail "the settings lack $line"
done
e2e_outputs 320x480 alpha.jpg bravo.jpg charlie.jpg delta.jpg echo{,1,2}.jpg # "iPhone 3GS"
# The EXIF-turned picture was cut upright: red at the top, blue at the bottom.
ends=$(convert "$work/out/echo.jpg" -format '%[fx:p{160,4}.r>0.78&&p{160,4}.b<0.24] %[fx:p{160,475}.r<0.24&&p{160,475}.b>0.78]' info:)
[ "$ends" = "1 1" ] || e2e_fail "echo.jpg is not red at the top and blue at the bottom"
echo "first run: all checks passed"
