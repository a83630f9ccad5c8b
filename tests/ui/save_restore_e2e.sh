#!/usr/bin/env bash
# Drives the real program on the virtual screen as a user would: with the
# keyboard only, picks a colour for box 4 (Right, Down, Space) in the real
# colour dialog, which names the box in its title, saves with Ctrl+S and
# checks the game's file byte for byte; then restores through the Options menu and checks
# the file is the program's default again, with the xmb gone both times.
#
#   save_restore_e2e.sh TINTMOOR.EXE WINEPREFIX SOURCE_DIR
# Exits 77 (skipped) without DISPLAY or xdotool.
set -uo pipefail
exe=$1 prefix=$2 source=$3
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null || { echo "no DISPLAY or xdotool"; exit 77; }

. "$source/tests/support/gui.sh"

default="$(dirname "$exe")/playercolors.xml"
gui_make_game "$default"
game=$gui_game
echo stale >"$game/data/playercolors.xmb"
xml="$game/data/playercolors.xml"
xmb="$game/data/playercolors.xmb"

main=
shots=${TINTMOOR_E2E_SHOTS:-}  # a folder for a picture of the screen when a step fails
fail() {
  echo "FAIL: $*"
  [ -n "$shots" ] && import -window root "$shots/save_restore_e2e-fail.png" 2>/dev/null
  exit 1
}
wait_for() { gui_wait_for "$@"; }
caption_is() { [ "$(xdotool getwindowname "$main" 2>/dev/null)" = "$1" ]; }
menu_command() {  # F10, then the given keys: Right to the menu, Down to the item
  xdotool windowfocus "$main"
  sleep 0.2
  xdotool key F10
  sleep 0.3
  local k
  for k in "$@"; do
    xdotool key "$k"
    sleep 0.3
  done
  xdotool key Return
}

gui_set_game_folder "$game" || fail "reg add"
gui_start

gui_wait_main || fail "the main window did not appear"
main=$gui_main
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
menu=$((HEIGHT - 437))  # no window manager: the X window is menu bar + client area

# Pick red 10, green 20, blue 30 for box 4 ("Player 1", minimap); the focus starts on box 0.
xdotool windowfocus "$main"
sleep 0.3
xdotool key Right Down space
dialog=$(gui_wait_window "^Color: Player 1, minimap\$") || fail "the colour dialog did not open"
sleep 0.5
# The dialog opens with the text of its Red field selected; Tab moves on to
# Green and Blue, selecting their text, so typing replaces each value.
xdotool windowfocus "$dialog"
sleep 0.2
xdotool type --window "$dialog" 10
xdotool key --window "$dialog" Tab
xdotool type --window "$dialog" 20
xdotool key --window "$dialog" Tab
xdotool type --window "$dialog" 30
sleep 0.2
xdotool key --window "$dialog" Return
wait_for '! gui_window_shown "$dialog"' ||
  fail "the colour dialog did not close"
wait_for 'caption_is "Brindle'"'"'s AoM Tintmoor *"' || fail "no unsaved-changes marker after the pick"

xdotool windowfocus "$main"
sleep 0.3
xdotool key ctrl+s
# The default file with that one cell changed, byte for byte (tabs, CR LF).
expected="$game/expected.xml"
sed 's/<player num="1" color1="50 50 255" color2="0 0 255"/<player num="1" color1="50 50 255" color2="10 20 30"/' \
  "$default" >"$expected"
cmp -s "$expected" "$default" && fail "the test's expected file is the default file"
wait_for '[ ! -e "$xmb" ]' || fail "Save left playercolors.xmb"
wait_for 'cmp -s "$xml" "$expected"' || { diff "$expected" "$xml"; fail "saved file differs"; }
wait_for 'caption_is "Brindle'"'"'s AoM Tintmoor"' || fail "Save did not clear the marker"
echo "save: ok"

echo stale >"$xmb"
menu_command Right Down  # Options > Restore Default Colors
wait_for 'cmp -s "$xml" "$default"' || fail "Restore did not put the default file back"
wait_for '[ ! -e "$xmb" ]' || fail "Restore left playercolors.xmb"
echo "restore: ok"
