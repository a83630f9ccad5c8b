#!/usr/bin/env bash
# Drives the real program with the real colour dialog on the virtual screen:
# click a colour box, pick another colour, confirm the dialog, and see the
# caption gain " *".
#
#   real_dialog_test.sh TINTMOOR.EXE WINEPREFIX SOURCE_DIR
# Exits 77 (skipped) without DISPLAY or xdotool.
set -uo pipefail
exe=$1 prefix=$2 source=$3
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null || { echo "no DISPLAY or xdotool"; exit 77; }
. "$source/tests/support/gui.sh"

gui_make_game "$source/data/playercolors.xml"
game=$gui_game
fail() { echo "FAIL: $*"; exit 1; }

gui_set_game_folder "$game" || fail "reg add"
gui_start

gui_wait_main || fail "the main window did not appear"
main=$gui_main
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
# With no window manager the X window holds the menu bar and the 437-pixel client area.
menu=$((HEIGHT - 437))
[ "$WIDTH" -eq 317 ] || fail "window width $WIDTH, expected the 317-pixel client area"
# The middle of box 4: client (152 + 34, 116 + 10).
xdotool mousemove $((X + 186)) $((Y + menu + 126)) click 1

dialog=$(gui_wait_window "^Color: Player 1, minimap\$") || fail "the colour dialog did not open"
# Another red than the box's (0 0 255): the marker shows a difference from the file.
sleep 0.5
xdotool windowfocus "$dialog"
sleep 0.2
xdotool type --window "$dialog" 10
gui_confirm_colour_dialog "$dialog" || fail "the colour dialog did not close"

for _ in $(seq 1 50); do
  name=$(xdotool getwindowname "$main" 2>/dev/null)
  [ "$name" = "Brindle's AoM Tintmoor *" ] && { echo "caption: $name"; exit 0; }
  sleep 0.2
done
fail "caption is \"$name\", expected \"Brindle's AoM Tintmoor *\""
