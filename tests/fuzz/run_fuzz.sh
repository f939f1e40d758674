#!/usr/bin/env bash
# Builds the picture fuzzer with clang in BUILD and runs it for SECONDS on fresh seeds of every
# variant the opener reads: a crash, sanitizer report, hang (10 s) or a process above the decode
# budget plus 300 MB fails. Inputs found are kept in BUILD/corpus (README.md beside this).
#
#   run_fuzz.sh SOURCE BUILD [SECONDS]
set -euo pipefail
src=$1 build=$2 seconds=${3:-60}
budget_mb=512 # kDefaultDecodeBudget in imaging/DecodeBudget.h
for tool in clang clang++ convert vips; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRIMORA_FUZZ=ON -DTRIMORA_BUILD_TESTS=OFF -DTRIMORA_BUILD_BENCH=OFF >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target picture_fuzzer
rm -rf "$build/seeds" && mkdir -p "$build/seeds" "$build/corpus" "$build/findings" && cd "$build/seeds"
# JPEG baseline, progressive, 4:4:4, grey, CMYK; PNG 8- and 16-bit, palette,
# alpha, interlaced; GIF still and animated; BMP 24-bit, 32-bit, run-length.
for args in "-quality 80 baseline.jpg" "-quality 80 -interlace JPEG progressive.jpg" \
  "-quality 80 -sampling-factor 1x1 -interlace JPEG progressive444.jpg" "-colorspace Gray grey.jpg" \
  "-colorspace CMYK cmyk.jpg" PNG24:rgb.png "-depth 16 PNG48:rgb16.png" PNG8:palette.png \
  "-alpha set -channel A -evaluate set 50% +channel PNG32:alpha.png" "-interlace PNG PNG24:interlaced.png" \
  still.gif "-type TrueColor BMP3:rgb24.bmp" "-alpha set BMP:argb32.bmp" \
  "-colors 16 -type Palette -compress RLE BMP3:rle8.bmp"; do
  convert -size 24x16 gradient:red-blue $args # split into words on purpose
done
convert -delay 10 -size 24x16 gradient:red-blue -size 24x16 gradient:green-yellow -loop 0 animated.gif
# WebP lossy and lossless, TIFF plain and tiled, HEIC, AVIF (libvips writes them), and a JPEG and a
# HEIC in Display P3 with its profile.
for out in photo.webp "lossless.webp[lossless]" plain.tif "tiled.tif[tile,tile-width=16,tile-height=16]" \
  photo.heic photo.avif; do
  vips copy rgb.png "$out"
done
vips icc_transform rgb.png p3.jpg p3 && vips icc_transform rgb.png p3.heic p3
# The baseline picture turned by an EXIF block (orientation 6) after its start marker.
{ head -c 2 baseline.jpg
  printf '\xff\xe1\x00\x22Exif\x00\x00II*\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00\x00'
  tail -c +3 baseline.jpg; } >turned.jpg
cd "$build/findings"
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen
"$build/picture_fuzzer" -max_total_time="$seconds" -rss_limit_mb=$((budget_mb + 300)) \
  -timeout=10 -max_len=65536 -print_final_stats=1 -error_exitcode=1 -timeout_exitcode=1 \
  "$build/corpus" "$build/seeds"
