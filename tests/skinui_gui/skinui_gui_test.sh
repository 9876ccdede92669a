#!/usr/bin/env bash
# A skinned window on the GTK provider under Xvfb: it opens, a real click on its button gives a "click"
# notification, text typed or pasted into its edit field arrives with "textchanged" (and Return with
# "return"), its combo box drops down and takes a choice, and Escape closes it with code 1.
#   skinui_gui_test.sh SKINUI_GUI_WINDOW LAYOUT_FILE
set -euo pipefail

program="$1"
layout="$2"
source "$(dirname "$0")/../support/gui_env.sh"
gui_reexec_under_xvfb "$0" "$program" "$layout"

out="$WORK/window.out"
fail() { gui_fail "$@"; }

# Waits until the output has a line matching the pattern $1 (20 s).
wait_line() { gui_poll grep -qE -- "$1" "$out" || fail "no line '$1'"; }

title="skinui-gui-$$"
"$program" "$layout" "$title" >"$out" 2>&1 &
pid=$!
wid="$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1 || true)"
[ -n "$wid" ] || fail "the window did not appear"
wait_line "^ready [0-9]+ [0-9]+$"
grep -qx "provider gtk" "$out" || fail "the GTK provider was not chosen"
read -r _ x y < <(grep -E "^ready " "$out" | head -n 1)

xdotool mousemove --sync "$x" "$y" click 1
wait_line "^click okbtn$"

# Typing goes through the window's input method into the focused edit; the caret sits where clicked, so
# End first puts it after the text.
read -r _ ex ey < <(grep -E "^edit " "$out" | head -n 1)
xdotool mousemove --sync "$ex" "$ey" click 1
xdotool key End
xdotool type --delay 40 "cd 7"
wait_line "^textchanged nameedit abcd 7$"
xdotool key BackSpace Return
wait_line "^textchanged nameedit abcd $"
wait_line "^return nameedit$"
# The desktop clipboard: select all, copy, paste at the end.
xdotool key ctrl+a ctrl+c End ctrl+v
wait_line "^textchanged nameedit abcd abcd $"

# The combo's drop-down is a window of its own below the combo (28 high, items 30 high): a click on the
# second item chooses it and closes the drop-down.
read -r _ cx cy < <(grep -E "^combo " "$out" | head -n 1)
xdotool mousemove --sync "$cx" "$cy" click 1
wait_line "^dropdown langcombo$"
# The drop-down takes the keyboard focus once it is on screen.
focus_moved() {
  local focused
  focused="$(xdotool getwindowfocus)" && [ -n "$focused" ] && [ "$focused" != "$wid" ]
}
gui_poll focus_moved || fail "the drop-down did not take the focus"
xdotool mousemove --sync "$cx" "$((cy + 14 + 30 + 15))" click 1
wait_line "^itemselect langcombo 1 -1$"

xdotool windowfocus --sync "$wid"
xdotool key Escape
wait_line "^closed 1$"
gui_wait_exit "$pid" "the program"
cat "$out"
echo "skinui window GUI test passed"
