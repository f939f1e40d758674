#!/usr/bin/env bash
# A 1440 x 3120 phone on a 4000 x 6000 photo, red growing rightwards and green downwards, on
# SCREEN (and QT_SCALE_FACTOR as the run sets it): Space writes 1440 x 3120 whose colours change
# across it as across that many pixels of the photo: the framed region at full size.
#
#   large_device.sh APP WORK SCREEN
set -u
app=$(realpath "$1") work=$2 E2E_SCREEN=$3
. "$(dirname "$0")/lib.sh"
rm -rf "$work"
e2e_start_x
mkdir -p "$work/in"
convert -size 4000x6000 xc: -sparse-color bilinear '0,0 black 3999,0 red 0,5999 lime 3999,5999 yellow' \
  -quality 95 "$work/in/tall.jpg"
e2e_ini Wizard=0 ArrowKeys=1 "InputFolder=$work/in" "OutputFolder=$work/out/" PWidth=1440 PHeight=3120 Quality=95 \
  "DeviceName=Phone 1440"
e2e_app "$app" "$work" '^Trimora v' || e2e_fail "no window"
xdotool mousemove --window "$WIN" 250 250 && sleep 1.5 && e2e_shot large-device
xdotool key space
e2e_wait_for 30 test -s "$work/out/tall.jpg" || e2e_fail "no cut written"
e2e_outputs 1440x3120 tall.jpg
# Red across the cut's width and green down its height, in 0..255: 1440 / 3999 and 3120 / 5999.
read -r red green < <(convert "$work/out/tall.jpg" -format \
  '%[fx:round(255*(p{1439,1560}.r-p{0,1560}.r))] %[fx:round(255*(p{720,3119}.g-p{720,0}.g))]' info:)
[ $((red - 92)) -le 3 ] && [ $((92 - red)) -le 3 ] || e2e_fail "red grows by $red across the cut, not 92"
[ $((green - 133)) -le 3 ] && [ $((133 - green)) -le 3 ] || e2e_fail "green grows by $green down the cut, not 133"
echo "large device: all checks passed"
