#!/usr/bin/env bash
# Writes a small seed corpus for the picture fuzzer into FOLDER: tiny pictures
# of every variant the opener reads (baseline, progressive, 4:4:4, grey and
# CMYK JPEG, turned by EXIF; 8-bit, 16-bit, palette, alpha and interlaced
# PNG; still and animated GIF; 24-bit, 32-bit and run-length BMP).
#
#   make_seeds.sh FOLDER
set -euo pipefail
out=$1
mkdir -p "$out"
im=/usr/bin/convert
src=(-size 24x16 gradient:red-blue)
$im "${src[@]}" -quality 80 "$out/baseline.jpg"
$im "${src[@]}" -quality 80 -interlace JPEG "$out/progressive.jpg"
$im "${src[@]}" -quality 80 -sampling-factor 1x1 -interlace JPEG "$out/progressive444.jpg"
$im "${src[@]}" -colorspace Gray "$out/grey.jpg"
$im "${src[@]}" -colorspace CMYK "$out/cmyk.jpg"
# The baseline picture with an EXIF block that turns it (orientation 6).
{ head -c 2 "$out/baseline.jpg"
  printf '\xff\xe1\x00\x22Exif\x00\x00II*\x00\x08\x00\x00\x00\x01\x00'
  printf '\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00'
  tail -c +3 "$out/baseline.jpg"; } >"$out/turned.jpg"
$im "${src[@]}" "PNG24:$out/rgb.png"
$im "${src[@]}" -depth 16 "PNG48:$out/rgb16.png"
$im "${src[@]}" "PNG8:$out/palette.png"
$im "${src[@]}" -alpha set -channel A -evaluate set 50% +channel "PNG32:$out/alpha.png"
$im "${src[@]}" -interlace PNG "PNG24:$out/interlaced.png"
$im "${src[@]}" "$out/still.gif"
$im -delay 10 "${src[@]}" -size 24x16 gradient:green-yellow -loop 0 "$out/animated.gif"
$im "${src[@]}" -type TrueColor "BMP3:$out/rgb24.bmp"
$im "${src[@]}" -alpha set "BMP:$out/argb32.bmp"
$im "${src[@]}" -colors 16 -type Palette -compress RLE "BMP3:$out/rle8.bmp"
ls "$out" | wc -l
