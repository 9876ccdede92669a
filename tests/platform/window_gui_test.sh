#!/usr/bin/env bash
# The window providers through the window-demo program. Without a display the headless provider takes
# over. On a real X server (Xvfb, no window manager), driven by xdotool, the GTK provider shows that a click
# reaches the window, resting the pointer gives a hover, a caption drag moves the window, the pointer
# leaving is reported, Escape and the desktop's close request end it, and the platform dialogs answer.
#   window_gui_test.sh WINDOW_DEMO
set -euo pipefail

demo="$1"
source "$(dirname "$0")/../support/gui_env.sh"
gui_reexec_under_xvfb "$0" "$demo"

fail() { gui_fail "$@"; }

# Waits until file $1 has a line equal to $2 (20 s).
wait_line() { gui_poll grep -qx -- "$2" "$1" || fail "no line '$2' in $1"; }

wait_exit() { gui_wait_exit "$@"; }

find_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1 || true
}

# Sends the desktop's close request (WM_DELETE_WINDOW) to window id $1.
request_close() {
  python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
d = x.XOpenDisplay(None)
if not d:
    sys.exit("cannot open the display")
ev = Event()
ev.xclient.type = 33  # ClientMessage
ev.xclient.window = int(sys.argv[1])
ev.xclient.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
ev.xclient.format = 32
ev.xclient.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(d, int(sys.argv[1]), 0, 0, ctypes.byref(ev))
x.XFlush(d)
PY
}

# 0. Without a display the headless provider takes over and paints into memory.
out="$WORK/headless.out"
env -u DISPLAY "$demo" --png "$WORK/headless.png" >"$out" 2>&1 || fail "the headless demo failed"
grep -qx "provider headless" "$out" || fail "no headless provider without a display"
grep -qx "png written" "$out" || fail "the headless frame was not written"
size="$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$WORK/headless.png")"
[ "$size" = "320x240" ] || fail "the headless frame is $size"

# 1. Click, caption drag, leave, Escape. The demo window sits at 100,100, 320 x 240; its caption is the
#    top 40 pixels.
out="$WORK/first.out"
"$demo" --title "demo-first-$$" >"$out" 2>&1 &
pid=$!
wid="$(find_window "demo-first-$$")"
[ -n "$wid" ] || fail "the window did not appear"
wait_line "$out" "ready"
grep -qx "provider gtk" "$out" || fail "the GTK provider was not chosen"

xdotool mousemove --sync 200 250 click 1
wait_line "$out" "click 100 150"
wait_line "$out" "hover 100 150"

xdotool mousemove --sync 150 120 mousedown 1
xdotool mousemove --sync 200 170
xdotool mousemove --sync 250 220
xdotool mouseup 1
wait_line "$out" "move 200 200"
if grep -q "^click 50 20$" "$out"; then fail "a caption press reached the window as a click"; fi

xdotool mousemove --sync 900 700
wait_line "$out" "leave"

xdotool key Escape
wait_line "$out" "escape"
wait_exit "$pid" "the first demo"

# 2. The desktop's close request.
out="$WORK/second.out"
"$demo" --title "demo-second-$$" >"$out" 2>&1 &
pid=$!
wid="$(find_window "demo-second-$$")"
[ -n "$wid" ] || fail "the second window did not appear"
wait_line "$out" "ready"
request_close "$wid"
wait_line "$out" "close"
wait_exit "$pid" "the second demo"

# 3. The platform message box: Return presses its default button.
out="$WORK/box.out"
"$demo" --title "demo-box-$$" --messagebox "Hello from the test" >"$out" 2>&1 &
pid=$!
wid="$(find_window "demo-box-$$")"
[ -n "$wid" ] || fail "the message box did not appear"
xdotool windowfocus --sync "$wid"
xdotool key Return
wait_line "$out" "answer ok"
wait_exit "$pid" "the message box demo"

# 4. The folder picker starts in the home folder; Return picks the folder shown.
out="$WORK/folder.out"
"$demo" --title "demo-folder-$$" --pick-folder >"$out" 2>&1 &
pid=$!
wid="$(find_window "demo-folder-$$")"
[ -n "$wid" ] || fail "the folder picker did not appear"
xdotool windowfocus --sync "$wid"
xdotool key Return
wait_line "$out" "folder $HOME"
wait_exit "$pid" "the folder picker demo"

echo "window GUI test passed"
