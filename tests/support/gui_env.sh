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
