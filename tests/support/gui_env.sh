# Sourced by GUI test scripts. `gui_reexec_under_xvfb "$0" "$@"` runs the calling script again inside
# xvfb-run, with a private home and runtime folder and the environment GTK needs without a desktop, and
# exits with its status; inside that run it returns at once. $WORK is the private folder in both.
gui_reexec_under_xvfb() {
  if [ "${NIMBARO_GUI_INNER:-}" = "1" ]; then return 0; fi
  local script="$1"
  shift
  WORK="$(mktemp -d)"
  trap 'rm -rf "$WORK"' EXIT
  mkdir -p "$WORK/home" "$WORK/runtime" && chmod 700 "$WORK/runtime"
  export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_STATE_HOME="$WORK/home/.local/state"
  export XDG_DATA_HOME="$WORK/home/.local/share" XDG_CACHE_HOME="$WORK/home/.cache" XDG_RUNTIME_DIR="$WORK/runtime"
  export GDK_BACKEND=x11 NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory GIO_USE_VFS=local GDK_SCALE=1
  export NIMBARO_GUI_INNER=1 WORK
  unset WAYLAND_DISPLAY NIMBARO_HEADLESS
  local status=0
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$script" "$@" || status=$?
  exit "$status"
}

# Fails the test with a message, showing every program output (*.out) under $WORK.
gui_fail() {
  echo "FAIL: $*" >&2
  local f
  for f in "$WORK"/*.out; do
    [ -e "$f" ] || continue
    echo "--- $f" >&2
    cat "$f" >&2
  done
  exit 1
}

# Runs the command every 0.1 s until it succeeds; false when it did not within 20 s.
gui_poll() {
  local _
  for _ in $(seq 1 200); do
    "$@" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Waits for process $1 to end (20 s) and checks its exit code is 0; $2 names it in messages.
gui_process_gone() { ! kill -0 "$1"; }
gui_wait_exit() {
  if ! gui_poll gui_process_gone "$1"; then
    kill "$1" 2>/dev/null || true
    gui_fail "$2 did not end"
  fi
  wait "$1" || gui_fail "exit code $? from $2"
}
