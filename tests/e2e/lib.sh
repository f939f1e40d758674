# Shared helpers of the end-to-end scripts: a private X server, the program in
# it, screenshots and waiting on conditions.

e2e_need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
  done
}

# e2e_start_x WORKDIR: starts Xvfb on a free display and exports DISPLAY.
e2e_start_x() {
  local work=$1 n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "SKIP: no X server could be started"; exit 77
}

e2e_stop() {
  [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
}

# e2e_wait_for SECONDS COMMAND...: true once the command succeeds.
e2e_wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

e2e_shot() { import -window root "$1" 2>/dev/null || true; }

# e2e_close WINDOW: asks the window to close the way a window manager's close
# button does (a WM_DELETE_WINDOW message), so the program runs its own
# closing steps; plain X11 through ctypes, no window manager needed.
e2e_close() {
  python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("l", ctypes.c_long * 5)]

class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

display = x.XOpenDisplay(None)
if not display:
    sys.exit(1)
event = XEvent()
event.xclient.type = 33  # ClientMessage
event.xclient.window = int(sys.argv[1])
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.l[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(display, int(sys.argv[1]), 0, 0, ctypes.byref(event))
x.XFlush(display)
x.XCloseDisplay(display)
PY
}

# e2e_window TITLE_REGEX: prints the id of the first visible window whose
# title matches; fails when there is none.
e2e_window() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
  [ -n "$id" ] && echo "$id"
}

# e2e_gone TITLE_REGEX: true when no visible window has a matching title.
e2e_gone() { ! e2e_window "$1" >/dev/null; }

# e2e_click WINDOW X Y [REPEAT]: a left click at (X, Y) inside the window.
# e2e_pick_device TEXT SHOT: in the open device picker, types TEXT into the
# search box, saves a screenshot to SHOT and takes the first result. False when
# the picker does not open or does not close on the choice.
e2e_pick_device() {
  e2e_wait_for 20 e2e_window '^Select Device$' || return 1
  local picker
  picker=$(e2e_window '^Select Device$')
  xdotool windowfocus --sync "$picker" 2>/dev/null || xdotool windowfocus "$picker"
  sleep 0.5
  xdotool type --delay 60 "$1"
  sleep 0.5
  e2e_shot "$2"
  xdotool key Tab Down Return  # into the results, the first one, take it
  e2e_wait_for 10 e2e_gone '^Select Device$'
}

e2e_click() {
  xdotool mousemove --window "$1" "$2" "$3" && sleep 0.2
  xdotool click --repeat "${4:-1}" --delay 120 1
}
