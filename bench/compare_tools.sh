#!/bin/sh
# Times Trimora's picture display, its Max Crop Size search and its crop-and-save
# against the same work done by the vips and ImageMagick command lines, each as
# a whole process, and prints a Markdown table: median real time of REPS runs,
# Trimora's time over the tool's, and the peak resident memory
# (/usr/bin/time -v "Maximum resident set size").
#
#   sh bench/compare_tools.sh [REPS, default 5]
#
# Needs the Release build of the bench folder (BUILD, default build-bench-release:
# trimora_display, trimora_crop, workspace_bench) and bench/images from
# make_images.sh. Every repetition runs all cases and tools in turn, so a change
# in the machine's load falls on every tool alike; the load average is noted
# with each run.
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-bench-release}
IMAGES=${IMAGES:-$ROOT/bench/images}
REPS=${1:-5}
CONVERT=/usr/bin/convert  # the ImageMagick program itself, whatever is on PATH
DISPLAY_TOOL=$BUILD/bench/trimora_display
CROP_TOOL=$BUILD/bench/trimora_crop
WORKSPACE_BENCH=$BUILD/bench/workspace_bench

for program in "$DISPLAY_TOOL" "$CROP_TOOL" "$WORKSPACE_BENCH" "$CONVERT" /usr/bin/time; do
  [ -x "$program" ] || { echo "missing: $program" >&2; exit 1; }
done
command -v vips >/dev/null || { echo "missing: vips (libvips-tools)" >&2; exit 1; }
[ -f "$IMAGES/photo24.jpg" ] || { echo "missing $IMAGES: run bench/make_images.sh" >&2; exit 1; }

# Outputs go to memory where possible, so the disk does not time them.
if [ -w /dev/shm ]; then WORK=$(mktemp -d /dev/shm/trimora_compare.XXXXXX); else WORK=$(mktemp -d); fi
trap 'rm -rf "$WORK"' EXIT
RESULTS=$WORK/results  # case|tool|ms|kB|load

load1() { cut -d' ' -f1 /proc/loadavg; }

# run CASE TOOL COMMAND...: one timed whole process; its output is discarded.
run() {
  case_name=$1 tool=$2
  shift 2
  start=$(date +%s%N)
  if /usr/bin/time -f %M -o "$WORK/mem" "$@" >/dev/null 2>"$WORK/err"; then
    end=$(date +%s%N)
    echo "$case_name|$tool|$(((end - start) / 1000))|$(tail -n 1 "$WORK/mem")|$(load1)" >>"$RESULTS"
  else
    echo "$case_name|$tool|failed: $(head -c 200 "$WORK/err" | tr '\n|' '  ')||$(load1)" >>"$RESULTS"
  fi
}

# The DCT scale (1, 2, 4 or 8) that keeps a decoded JPEG at least twice the
# fitted size on both sides: the rule of Trimora's display and of vips thumbnail.
jpeg_shrink() {  # fileW fileH fitW fitH
  for s in 8 4 2 1; do
    if [ $((($1 + s - 1) / s)) -ge $((2 * $3)) ] && [ $((($2 + s - 1) / s)) -ge $((2 * $4)) ]; then
      echo "$s"
      return
    fi
  done
  echo 1
}

# Each display case: the size Trimora draws the picture at is read from its own
# output, and the tools are asked for exactly that size (vips thumbnail fits the
# picture inside Trimora's canvas, as Trimora does).
CASES=""
for item in photo24.jpg:35 photo24.jpg:65 photo24.jpg:100 photo48.jpg:35 photo48.jpg:100 \
  photo12.png:35 photo12.png:100 photo12.heic:35 photo12.heic:100 photo12.webp:35 \
  photo12.webp:100; do
  file=${item%%:*} zoom=${item##*:}
  line=$("$DISPLAY_TOOL" "$IMAGES/$file" "$zoom")
  # "6000 x 4000 shown on a 700 x 700 canvas, picture 700 x 467 (ok)"
  set -- $line
  fileW=$1 fileH=$3 canvasW=$7 canvasH=$9 fitW=${12} fitH=${14}
  case $file in
    *.jpg) shrink=$(jpeg_shrink "$fileW" "$fileH" "$fitW" "$fitH") ;;
    *) shrink=1 ;;
  esac
  decW=$(((fileW + shrink - 1) / shrink)) decH=$(((fileH + shrink - 1) / shrink))
  hscale=$(awk -v a="$fitW" -v b="$decW" 'BEGIN { printf "%.10f", a / b }')
  vscale=$(awk -v a="$fitH" -v b="$decH" 'BEGIN { printf "%.10f", a / b }')
  # vips thumbnail fits inside a box by the smaller of the two factors: the box that gives the
  # picture's exact size is found by trying (a canvas of exactly its size may round a side down).
  for box in "$canvasW:$canvasH" "$fitW:$((fitH + 1))" "$((fitW + 1)):$fitH"; do
    vips thumbnail "$IMAGES/$file" "$WORK/box.v" "${box%:*}" --height "${box#*:}"
    [ "$(vipsheader -f width "$WORK/box.v")x$(vipsheader -f height "$WORK/box.v")" = \
      "${fitW}x${fitH}" ] && break
  done
  CASES="$CASES $file:$zoom:$fitW:$fitH:$shrink:$hscale:$vscale:${box%:*}:${box#*:}"
done

vips_input() {  # file shrink
  case $1 in *.jpg) echo "$IMAGES/$1[shrink=$2]" ;; *) echo "$IMAGES/$1" ;; esac
}

# This ImageMagick reads neither HEIC nor (without its delegate) WebP: those are compared with
# libvips alone.
convert_reads() { case $1 in *.heic | *.webp) false ;; *) true ;; esac; }

# Check once that every tool makes the size Trimora shows.
for c in $CASES; do
  IFS=: read -r file zoom fitW fitH shrink hscale vscale canvasW canvasH <<EOF
$c
EOF
  vips resize "$(vips_input "$file" "$shrink")" "$WORK/check.v" "$hscale" --vscale "$vscale" \
    --kernel cubic
  a=$(vipsheader -f width "$WORK/check.v")x$(vipsheader -f height "$WORK/check.v")
  vips thumbnail "$IMAGES/$file" "$WORK/check.v" "$canvasW" --height "$canvasH"
  b=$(vipsheader -f width "$WORK/check.v")x$(vipsheader -f height "$WORK/check.v")
  c=${fitW}x${fitH}
  if convert_reads "$file"; then
    c=$($CONVERT -define jpeg:size=$((2 * fitW))x$((2 * fitH)) "$IMAGES/$file" -filter Catrom \
      -resize "${fitW}x${fitH}!" -format %wx%h info:)
  fi
  for got in "$a" "$b" "$c"; do
    [ "$got" = "${fitW}x${fitH}" ] || { echo "$file zoom $zoom: a tool made $got" >&2; exit 1; }
  done
done

# The crops: 1080 x 2400 and 1440 x 3120 from the middle of the 24 MP photo, quality 90, full
# colour resolution (4:4:4) as Trimora and vips write at that quality;
# ImageMagick would pick 4:2:0 by itself.
CROPS="1080:2400 1440:3120"

echo "load average at the start: $(cat /proc/loadavg)" >&2
: >"$RESULTS"
rep=1
while [ "$rep" -le "$REPS" ]; do
  echo "repetition $rep of $REPS, load $(load1)" >&2
  for c in $CASES; do
    IFS=: read -r file zoom fitW fitH shrink hscale vscale canvasW canvasH <<EOF
$c
EOF
    name="$file zoom $zoom ($fitW x $fitH)"
    run "$name" trimora "$DISPLAY_TOOL" "$IMAGES/$file" "$zoom"
    run "$name" "vips resize cubic" vips resize "$(vips_input "$file" "$shrink")" \
      "$WORK/out.v" "$hscale" --vscale "$vscale" --kernel cubic
    run "$name" "vips thumbnail" vips thumbnail "$IMAGES/$file" "$WORK/out.v" \
      "$canvasW" --height "$canvasH"
    if convert_reads "$file"; then
      run "$name" "convert Catrom" $CONVERT -define jpeg:size=$((2 * fitW))x$((2 * fitH)) \
        "$IMAGES/$file" -filter Catrom -resize "${fitW}x${fitH}!" null:
    fi
    case $file:$zoom in
      photo24.jpg:35 | photo48.jpg:35)
        run "$name" "convert Catrom, full decode" $CONVERT "$IMAGES/$file" -filter Catrom \
          -resize "${fitW}x${fitH}!" null:
        ;;
    esac
  done
  for crop in $CROPS; do
    CROP_W=${crop%:*} CROP_H=${crop#*:}
    CROP_X=$(((6000 - CROP_W) / 2)) CROP_Y=$(((4000 - CROP_H) / 2))
    name="crop $CROP_W x $CROP_H of photo24.jpg, q90"
    rm -f "$WORK/crop.jpg"
    run "$name" trimora "$CROP_TOOL" "$IMAGES/photo24.jpg" "$CROP_X" "$CROP_Y" "$CROP_W" \
      "$CROP_H" 90 "$WORK/crop.jpg"
    rm -f "$WORK/crop.jpg"
    run "$name" "vips crop" vips crop "$IMAGES/photo24.jpg" "$WORK/crop.jpg[Q=90]" "$CROP_X" \
      "$CROP_Y" "$CROP_W" "$CROP_H"
    run "$name" "convert -crop" $CONVERT "$IMAGES/photo24.jpg" \
      -crop "${CROP_W}x${CROP_H}+$CROP_X+$CROP_Y" +repage -quality 90 -sampling-factor 1x1 \
      "$WORK/crop.jpg"
  done
  rep=$((rep + 1))
done

# The Max Crop Size search in the real workspace window (600 x 760 frame on
# photo24.jpg, ends at zoom 65) against one display at zoom 65, in process.
echo "workspace_bench, load $(load1)" >&2
WS=$("$WORKSPACE_BENCH" --benchmark_filter='Display/zoom65|MaxCropSizeShow' \
  --benchmark_min_time=2 2>/dev/null | sed 's/\x1b\[[0-9;]*m//g')  # without colour codes
ws_ms() { echo "$WS" | awk -v n="$1" '$1 == n || $1 == (n "/real_time") { print $2; exit }'; }
SEARCH_MS=$(ws_ms MaxCropSizeShow) ONE_MS=$(ws_ms Display/zoom65)
WS_LOAD=$(load1)

# The table: medians per case and tool; Trimora's time over each tool's.
awk -F'|' -v search="$SEARCH_MS" -v one="$ONE_MS" -v wsload="$WS_LOAD" '
function median(list,   n, v, i, j, t) {
  n = split(list, v, " ")
  for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
  return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
{
  key = $1 SUBSEP $2
  if (!(key in seen)) { seen[key] = 1; order[++count] = key }
  if ($3 ~ /^failed/) { failed[key] = $3; next }
  ms[key] = ms[key] " " $3 / 1000; kb[key] = (kb[key] > $4 + 0 ? kb[key] : $4 + 0)
  lo[key] = (runs[key]++ && lo[key] < $5 + 0 ? lo[key] : $5 + 0)
  hi[key] = (hi[key] > $5 + 0 ? hi[key] : $5 + 0)
}
END {
  print "| case | tool | median ms | Trimora / tool | peak RSS MB | load 1 min |"
  print "|---|---|---|---|---|---|"
  for (i = 1; i <= count; i++) {
    split(order[i], part, SUBSEP)
    own = part[1] SUBSEP "trimora"
    if (order[i] in failed) { printf "| %s | %s | %s | | | |\n", part[1], part[2], failed[order[i]]; continue }
    m = median(ms[order[i]]); med[order[i]] = m
    ratio = (own in ms) ? sprintf("%.2f", median(ms[own]) / m) : ""
    printf "| %s | %s | %.0f | %s | %.1f | %.1f-%.1f |\n", part[1], part[2], m, ratio, kb[order[i]] / 1024, lo[order[i]], hi[order[i]]
  }
  if (search != "" && one != "") {
    printf "\nMax Crop Size search (600 x 760 frame on photo24.jpg, ends at zoom 65), in the real\n"
    printf "workspace window: %.1f ms against %.1f ms for one display at zoom 65 (%.2fx), load %.1f.\n", search, one, search / one, wsload
    for (i = 1; i <= count; i++) { split(order[i], part, SUBSEP); if (part[1] ~ /^photo24.jpg zoom 65 /) z = part[1] }
    own = median(ms[z SUBSEP "trimora"]) + search - one
    printf "As a whole process: the zoom-65 display process plus what the search adds, %.0f ms:\n", own
    split("vips resize cubic|vips thumbnail|convert Catrom", tools, "|")
    for (t = 1; t <= 3; t++) if ((z SUBSEP tools[t]) in ms)
      printf "%s%.2fx of %s (%.0f ms)", (t > 1 ? ", " : ""), own / median(ms[z SUBSEP tools[t]]), tools[t], median(ms[z SUBSEP tools[t]])
    printf ".\n"
  }
}' "$RESULTS"
echo
echo "load average at the end: $(cat /proc/loadavg); $(nproc) cores"
