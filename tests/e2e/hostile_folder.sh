#!/usr/bin/env bash
# Steps with Right in the real window through the imaging tests' hostile files, then crops the one
# normal picture: the window answers, the cut has the frame's size and, with MEASURE=1, the run
# peaks below 600 MB (MEASURE=0, for a sanitizer build's own bookkeeping, only shows the peak).
#   hostile_folder.sh APP WORK WRITER MEASURE
set -u
app=$(realpath "$1") work=$2 writer=$3 measure=${4:-1}
. "$(dirname "$0")/lib.sh"
rm -rf "$work"
e2e_start_x
mkdir -p "$work/in" && "$writer" "$work/in" || e2e_fail "the hostile files were not written"
convert -size 900x700 plasma:red-blue -seed 7 "$work/in/zz-normal.jpg"
count=$(ls "$work/in" | wc -l)
e2e_ini Wizard=0 ArrowKeys=1 "InputFolder=$work/in" "OutputFolder=$work/out/" PWidth=200 PHeight=150 \
  Quality=90 LastFilePos=0
e2e_app "$app" "$work" '^Trimora v' || e2e_fail "no window"
# The pointer rests on the view: the arrow keys mode hands the picture the keyboard.
xdotool mousemove 250 250 && sleep 1 && e2e_shot start

# settle: waits until the program has used at most 20 ms of CPU in 300 ms (the
# window idles, a load is done); false after 20 s.
ticks() { awk '{print $14 + $15}' "/proc/$APP_PID/stat"; }
settle() {
  local end=$((SECONDS + 20)) before after
  after=$(ticks) || return 1
  while [ $SECONDS -lt $end ]; do
    before=$after && sleep 0.3 && after=$(ticks) || return 1
    [ $((after - before)) -le 2 ] && return 0
  done
  return 1
}
started=$SECONDS slowest=0
for i in $(seq 2 "$count"); do
  step=$(date +%s%N)
  xdotool key Right && settle || e2e_fail "no answer within 20 s after Right to picture $i"
  ms=$((($(date +%s%N) - step) / 1000000)) && [ $ms -gt $slowest ] && slowest=$ms
done
xdotool key space
# Keys are handled in order: the cut appears once every step has been taken.
e2e_wait_for 30 test -e "$work/out/zz-normal.jpg" || e2e_fail "zz-normal.jpg was not cropped"
peak=$(($(awk '/^VmHWM:/ {print $2}' "/proc/$APP_PID/status" || echo 0) / 1024))
e2e_shot end
echo "$((count - 1)) steps and a cut in $((SECONDS - started)) s (slowest step $slowest ms with 300 ms to" \
  "settle), peak resident memory $peak MB"
kill -0 "$APP_PID" 2>/dev/null || e2e_fail "the program ended"
e2e_outputs 200x150 zz-normal.jpg
[ "$measure" != 1 ] || [ $peak -lt 600 ] || e2e_fail "the run peaked at $peak MB, not below 600 MB"
echo "hostile folder: all checks passed"
