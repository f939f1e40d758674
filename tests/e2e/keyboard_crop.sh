#!/usr/bin/env bash
# Crops three folders with keys alone (arrow keys mode; Right, zoom keys and Space every 0.3 s),
# changing folder in the real folder chooser. The first two folders' first pictures share a
# name; A's are red, B's blue. C holds 24 MP photos, both ways up, red and blue by turns, each
# drawn ahead while the one before is shown. D holds one picture of each other format listed
# (WebP, TIFF, HEIC, AVIF and JPEG's other names), some with a Display P3 profile. Every cut must
# be there with the frame's size and the colour of the picture that was shown.
set -u
app=$(realpath "$1") work=$2
. "$(dirname "$0")/lib.sh"
rm -rf "$work"
e2e_start_x
pictures() { # FOLDER GRADIENT SIZE...: IMG_0001.jpg and on, one per size
  local n=0 dir=$1 fill=$2 && shift 2 && mkdir -p "$dir"
  for size; do n=$((n + 1)) && convert -size "$size" "gradient:$fill" "$dir/IMG_000$n.jpg"; done
}
pictures "$work/a" red-darkred 900x700 1200x800 700x900 1000x650 800x800
pictures "$work/b" blue-navy 1100x750 650x900 950x700
mkdir -p "$work/c"
for n in 1 2 3 4; do
  fill=$([ $((n % 2)) = 1 ] && echo red-darkred || echo blue-navy)
  size=$([ $n -le 2 ] && echo 6000x4000 || echo 4000x6000)
  convert -size "$size" "gradient:$fill" "$work/c/P$n.jpg"
done
mkdir -p "$work/d"
n=0
for name in F1.jpeg F2.jpe F3.jfif F4.webp F5.tif F6.TIFF F7.heic F8.heif F9.avif; do
  n=$((n + 1))
  fill=$([ $((n % 2)) = 1 ] && echo red-darkred || echo blue-navy)
  convert -size 900x700 "gradient:$fill" "$work/d.png"
  case $name in
  *.jp* | *.jfif) convert "$work/d.png" "jpeg:$work/d/$name" ;;
  F7* | F4*) vips icc_transform "$work/d.png" "$work/d/$name" p3 ;;  # P3 numbers and profile
  *) vips copy "$work/d.png" "$work/d/$name" ;;
  esac
done
e2e_ini Wizard=0 ArrowKeys=1 "InputFolder=$work/a" "OutputFolder=$work/out/" PWidth=200 PHeight=150 Quality=90
e2e_app "$app" "$work" '^Trimora v' || e2e_fail "no window"
# crop_folder COUNT: with the pointer on the picture (the arrow keys mode hands
# it the keyboard), Space, then Right and Space for each next picture, with a
# zoom step down and back up before every other cut.
crop_folder() {
  xdotool mousemove --window "$WIN" 300 250 && sleep 1 && e2e_shot "folder"
  e2e_keys 0.3 space
  for i in $(seq 2 "$1"); do e2e_keys 0.3 Right $([ $((i % 2)) = 0 ] && echo Down Up) space; done
}
crop_folder 5
e2e_wait_for 30 test -e "$work/out/IMG_0005.jpg" || e2e_fail "folder A not cropped"
# The input folder's ".." button, at the window's right edge, opens the chooser.
eval "$(xdotool getwindowgeometry --shell "$WIN")"
e2e_click "$WIN" $((WIDTH - 18)) 95
e2e_choose_folder 'Locate Input Folder' "$work/b"
crop_folder 3
e2e_wait_for 30 test -e "$work/out/IMG_00031.jpg" || e2e_fail "folder B not cropped"
e2e_click "$WIN" $((WIDTH - 18)) 95
e2e_choose_folder 'Locate Input Folder' "$work/c"
crop_folder 4
e2e_wait_for 60 test -e "$work/out/P4.jpg" || e2e_fail "folder C not cropped"
e2e_click "$WIN" $((WIDTH - 18)) 95
e2e_choose_folder 'Locate Input Folder' "$work/d"
crop_folder 9
e2e_wait_for 60 test -e "$work/out/F9.jpg" || e2e_fail "folder D not cropped"
e2e_shot end
e2e_outputs 200x150 IMG_000{1..5}.jpg:red IMG_000{1..3}1.jpg:blue P1.jpg:red P2.jpg:blue P3.jpg:red \
  P4.jpg:blue F{1,3,5,7,9}.jpg:red F{2,4,6,8}.jpg:blue
echo "keyboard crop: all checks passed"
