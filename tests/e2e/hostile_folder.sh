#!/usr/bin/env bash
# Steps with Right, in the real window, through a folder of hostile picture
# files (the imaging tests' own: vast declared sizes, cut short, thousands of
# scans, other formats under picture names) and then crops the one normal
# picture at the end of the list: the window goes on answering, the cut is
# written with the frame's size, and the whole run peaks below 600 MB.
# The memory bound holds for a build without the sanitizers (MEASURE=1); a
# sanitizer build holds far more for its own bookkeeping, so with MEASURE=0
# the peak is only shown.
#
#   hostile_folder.sh APP WORK WRITER MEASURE
set -u
app=$1
work=$2
writer=$3
measure=${4:-1}
limit_kb=$((600 * 1024))
. "$(dirname "$0")/lib.sh"
e2e_need Xvfb xdotool xdpyinfo import identify convert

rm -rf "$work" && mkdir -p "$work/in" "$work/out" "$work/config/Trimora"
"$writer" "$work/in" || { echo "FAIL: the hostile files were not written"; exit 1; }
/usr/bin/convert -size 900x700 "plasma:red-blue" -seed 7 "$work/in/zz-normal.jpg"
count=$(ls "$work/in" | wc -l)
cat >"$work/config/Trimora/Trimora.ini" <<INI
[Settings]
Wizard=0
ArrowKeys=1
InputFolder=$work/in
OutputFolder=$work/out/
PWidth=200
PHeight=150
Quality=90
LastFilePos=0
INI

export QT_QPA_PLATFORM=xcb  # a real window, whatever the test run set
trap e2e_stop EXIT
e2e_start_x "$work"
XDG_CONFIG_HOME="$work/config" "$app" >"$work/app.log" 2>&1 &
APP_PID=$!
e2e_wait_for 60 xdotool search --name '^Trimora v' || { echo "FAIL: no window"; exit 1; }
win=$(xdotool search --name '^Trimora v' | head -1)
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
# Rest the pointer on the view: the arrow keys mode hands the picture the keyboard.
xdotool mousemove 250 250
sleep 1
e2e_shot "$work/start.png"

# cpu_ticks PID: the CPU time the process has used, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# settle PID SECONDS: waits until the process has used less than 20 ms of
# CPU in 300 ms (the window idles, a load is done); false after SECONDS.
settle() {
  local end=$((SECONDS + $2)) before after
  before=$(cpu_ticks "$1") || return 1
  while [ $SECONDS -lt "$end" ]; do
    sleep 0.3
    after=$(cpu_ticks "$1") || return 1
    [ $((after - before)) -le 2 ] && return 0
    before=$after
  done
  return 1
}

started=$SECONDS
slowest=0
for i in $(seq 2 "$count"); do
  step=$(date +%s%N)
  xdotool key Right
  settle "$APP_PID" 20 ||
    { echo "FAIL: no answer within 20 s after Right to picture $i"; e2e_shot "$work/fail.png"; exit 1; }
  ms=$((($(date +%s%N) - step) / 1000000))
  [ "$ms" -gt "$slowest" ] && slowest=$ms
done
xdotool key space
# Keys are handled in order: the cut appears once every step has been taken.
e2e_wait_for 30 test -e "$work/out/zz-normal.jpg" ||
  { echo "FAIL: zz-normal.jpg was not cropped"; e2e_shot "$work/fail.png"; ls "$work/out"; exit 1; }
elapsed=$((SECONDS - started))
e2e_shot "$work/end.png"
peak_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$APP_PID/status")
kill -0 "$APP_PID" 2>/dev/null || { echo "FAIL: the program ended"; exit 1; }

failures=0
outputs=$(ls "$work/out")
[ "$outputs" = "zz-normal.jpg" ] || { echo "FAIL: output folder holds: $outputs"; failures=$((failures + 1)); }
size=$(identify -format '%wx%h' "$work/out/zz-normal.jpg")
[ "$size" = "200x150" ] || { echo "FAIL: the cut is $size"; failures=$((failures + 1)); }
echo "$((count - 1)) steps and a cut in ${elapsed} s (slowest step ${slowest} ms with 300 ms to settle)," \
  "peak resident memory $((peak_kb / 1024)) MB"
if [ "$measure" = 1 ] && [ "$peak_kb" -ge "$limit_kb" ]; then
  echo "FAIL: the run peaked at $((peak_kb / 1024)) MB, not below 600 MB"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] || exit 1
echo "1 passed, 0 failed"
