#!/bin/sh
# Generates photo-like test pictures for the display and crop benchmarks (deterministic: fixed seeds).
# Content: 1/f "plasma" fractal (multi-scale detail like a photo) + blurred large-scale shading
# + fine grain/texture layer (soft-light) + sharp-edged shapes/lines/text (edges for ringing/aliasing) + mild Gaussian sensor noise.
# Usage: make_images.sh [output folder, default: images/ beside this script]. Takes about 3 minutes.
set -eu
out="${1:-$(dirname "$0")/images}"
mkdir -p "$out"
cd "$out"
IM=/usr/bin/convert            # the real ImageMagick 6 binary
export MAGICK_TMPDIR=/tmp

photo() {  # $1=W $2=H $3=seed $4=out (any IM format/options after)
  W=$1; H=$2; S=$3; OUT=$4; shift 4
  $IM -seed "$S" -size "${W}x${H}" plasma:fractal \
      \( -size "$((W/8))x$((H/8))" -seed "$((S+1))" plasma:fractal -blur 0x6 -resize "${W}x${H}!" \) \
      -compose overlay -composite \
      \( -size "${W}x${H}" xc:gray50 -seed "$((S+2))" +noise Random -blur 0x0.7 -colorspace gray \) \
      -compose softlight -composite -auto-level \
      -stroke black -strokewidth "$((W/1500+1))" -fill none \
      -draw "circle $((W/3)),$((H/2)) $((W/3+H/5)),$((H/2))" \
      -draw "line 0,$((H/7)) $W,$((H*6/7))" \
      -draw "rectangle $((W*6/10)),$((H/10)) $((W*9/10)),$((H*4/10))" \
      -stroke none -fill white -font DejaVu-Sans -pointsize "$((H/12))" -annotate "+$((W/20))+$((H*9/10))" 'Crop test 0123456789' \
      -fill 'rgb(20,40,90)' -font DejaVu-Sans -pointsize "$((H/40))" -annotate "+$((W/2))+$((H*3/4))" 'fine text: the quick brown fox jumps over the lazy dog' \
      -attenuate 0.2 +noise Gaussian \
      "$@" "$OUT"
}

photo 6000 4000 42 photo24.jpg -quality 92 -sampling-factor 2x2        # 24 MP JPEG q92 4:2:0
# 48 MP JPEG q92 4:2:0: Debian's IM policy (memory 256MiB, disk 1GiB) cannot hold the layered
# 8000x6000 generation, so build it from four 4000x3000 "photos" joined by libvips, encoded by cjpeg.
T=$(mktemp -d /tmp/perf_tiles.XXXXXX)
for i in 1 2 3 4; do photo 4000 3000 $((100+i)) "$T/t$i.ppm"; done
vips arrayjoin "$T/t1.ppm $T/t2.ppm $T/t3.ppm $T/t4.ppm" "$T/all.ppm" --across 2
cjpeg -quality 92 -sample 2x2 -optimize -outfile photo48.jpg "$T/all.ppm"
rm -rf "$T"
# The same photo as a progressive JPEG (libjpeg's own progression, losslessly):
# its decoder holds every coefficient, some 144 MB, within the decode budget.
jpegtran -progressive -optimize -copy all -outfile photo48p.jpg photo48.jpg
photo 4000 3000 11 PNG24:photo12.png -define png:color-type=2          # 12 MP RGB PNG (8-bit, no alpha)
# The same 12 MP photo as a phone or the web stores it: HEIC and lossy WebP, libvips' defaults.
vips copy photo12.png photo12.heic
vips copy photo12.png photo12.webp
photo 1000 800 5 anim1000.gif -colors 256                                     # 1000x800 GIF (palette)
photo 3000 2000 9 BMP3:photo3000.bmp -type TrueColor -define bmp:format=bmp3  # 24-bit BMP
# P3 input: a 1080x2400 24-bit rectangle (crop of the 24 MP photo) as binary PPM
$IM photo24.jpg -crop 1080x2400+2400+800 +repage crop1080x2400.ppm
ls -l photo24.jpg photo48.jpg photo48p.jpg photo12.png photo12.heic photo12.webp anim1000.gif photo3000.bmp crop1080x2400.ppm
