# Helpers of the end-to-end scripts (their folder in $work): X server, program, input, shots, cuts.

e2e_need() {
  for tool; do command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }; done
}

e2e_fail() { echo "FAIL: $*"; e2e_shot failure; tail -n 20 "$work/app.log" 2>/dev/null; exit 1; }

# e2e_shot NAME: a screenshot, numbered in the order taken, into $work/shots.
e2e_shot() { SHOT=$((${SHOT:-0} + 1)); import -window root "$work/shots/$(printf %02d $SHOT)-$1.png" 2>/dev/null; }

# What a script leaves to undo on exit, after the program and the server stop: its own, if any.
e2e_cleanup() { :; }

# e2e_start_x: an X server of its own on a free display, a real window whatever the test run set,
# the program's home and settings in $work; the server and the program are stopped on exit.
e2e_start_x() {
  e2e_need Xvfb xdotool xdpyinfo import identify convert python3
  mkdir -p "$work/shots" "$work/out"
  export QT_QPA_PLATFORM=xcb HOME=$work XDG_CONFIG_HOME=$work/config
  trap 'kill ${APP_PID:-} ${XVFB_PID:-} 2>/dev/null; wait; e2e_cleanup' EXIT
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${E2E_SCREEN:-1280x800}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
    XVFB_PID=$! && export DISPLAY=:$n
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "SKIP: no X server could be started"; exit 77
}

e2e_ini() { mkdir -p "$work/config/Trimora" && printf '%s\n' '[Settings]' "$@" >"$work/config/Trimora/Trimora.ini"; }

e2e_wait_for() {
  local end=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do [ $SECONDS -lt $end ] || return 1; sleep 0.2; done
}

e2e_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 | grep .; }
e2e_gone() { ! e2e_window "$1"; }
e2e_focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }

# e2e_find SECONDS TITLE_REGEX: waits for a visible window so titled, focuses it, prints its id.
e2e_find() {
  e2e_wait_for "$1" e2e_window "$2" || return 1
  local id && id=$(e2e_window "$2") && e2e_focus "$id" && echo "$id"
}

# e2e_app PROGRAM DIR TITLE_REGEX [ARG...]: starts the program in DIR; its window's id is left in WIN.
e2e_app() {
  (cd "$2" && exec "$1" "${@:4}") >>"$work/app.log" 2>&1 &
  APP_PID=$!
  WIN=$(e2e_find 60 "$3")
}

e2e_click() { e2e_focus "$1" && xdotool mousemove --window "$1" "$2" "$3" && sleep 0.2 && xdotool click 1; }

e2e_keys() { local pause=$1 key && shift && for key; do xdotool key "$key" && sleep "$pause"; done; }

# e2e_pick_device TEXT: searches the device picker for TEXT and takes the first result.
e2e_pick_device() {
  e2e_find 20 '^Select Device$' >/dev/null || return 1
  sleep 0.5 && xdotool type --delay 60 "$1" && sleep 0.5
  e2e_shot picker
  xdotool key Return # Enter in the search box takes the first hit
  e2e_wait_for 10 e2e_gone '^Select Device$'
}

# e2e_choose_folder TITLE PATH: types PATH into the folder chooser (the completer may take a
# Return or two first) and accepts it.
e2e_choose_folder() {
  e2e_find 20 "^$1\$" >/dev/null || e2e_fail "no folder chooser \"$1\""
  sleep 0.5 && xdotool key ctrl+a && xdotool type --delay 30 "$2" && sleep 0.5
  e2e_shot chooser
  for _ in 1 2 3; do xdotool key Return && e2e_wait_for 3 e2e_gone "^$1\$" && return 0; done
  e2e_fail "the folder chooser \"$1\" did not accept $2"
}

# e2e_outputs SIZE NAME[:red|:blue]...: the output folder holds just these JPEGs of SIZE (red or
# blue: which is the more).
e2e_outputs() {
  local size=$1 want="" got f c && shift
  for f; do
    case $f in *:red) c=1 ;; *:blue) c=0 ;; *) c='?' ;; esac
    want+="${f%:*} JPEG $size $c"$'\n'
  done
  got=$(cd "$work/out" && identify -format '%f %m %wx%h %[fx:mean.r>mean.b]\n' * 2>&1 | LC_ALL=C sort)
  want=$(printf %s "$want" | LC_ALL=C sort)
  # shellcheck disable=SC2053 # a pattern: ? stands for a colour that is not checked
  [[ $got == $want ]] || e2e_fail "the output folder holds"$'\n'"$got"$'\n'"not"$'\n'"$want"
}

# e2e_quit: closes the window with Ctrl+Q, as its close button does, and waits for the end.
e2e_quit() {
  e2e_focus "$WIN" && xdotool key ctrl+q
  e2e_wait_for 20 sh -c "! kill -0 $APP_PID 2>/dev/null" || e2e_fail "the window did not close"
}
