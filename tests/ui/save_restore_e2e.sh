#!/usr/bin/env bash
# Drives the real program on the virtual screen as a user would: picks a
# colour for box 4 in the real colour dialog, which names the box in its title
# (reached with the keyboard from box 0: Right, Down, Space; later with a
# click); closing asks, and Cancel keeps it open; saves with Ctrl+S and checks
# the game's file byte for byte; Ctrl+Z and Ctrl+Y move the unsaved-changes
# marker; Restore asks, No keeps the file and Yes puts the default back;
# Restore Original puts back the file as first found; schemes go out and come
# in through the file dialogs, presets, copy and paste; closing with unsaved
# colours, No closes without saving; in a second run, started with the data
# folder in --data-dir, Yes saves, then closes.
# The xmb goes with each write. The game's folder and the program's are named
# in Cyrillic, Greek and Chinese.
#
#   save_restore_e2e.sh TINTMOOR.EXE WINEPREFIX SOURCE_DIR
# Exits 77 (skipped) without DISPLAY or xdotool.
set -uo pipefail
exe=$1 prefix=$2 source=$3
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null || { echo "no DISPLAY or xdotool"; exit 77; }

. "$source/tests/support/gui.sh"

default="$(dirname "$exe")/playercolors.xml"
# The game's file as first found: the default with Gaia's unit colour changed.
found=$(mktemp)
sed 's/<player num="0" color1="153 102 0"/<player num="0" color1="1 2 3"/' "$default" >"$found"
cmp -s "$found" "$default" && { echo "FAIL: the test's game file is the default file"; exit 1; }
gui_make_game "$found"
rm -f "$found"
gui_move_program || { echo "FAIL: the program could not be copied"; exit 1; }
game=$gui_game
echo stale >"$game/data/playercolors.xmb"
xml="$game/data/playercolors.xml"
xmb="$game/data/playercolors.xmb"
orig="$game/data/playercolors.xml.orig"
cp "$xml" "$game/found.xml"

main=
title="Brindle's AoM Tintmoor"
shots=${TINTMOOR_E2E_SHOTS:-}  # a folder for a picture of the screen when a step fails
fail() {
  echo "FAIL: $*"
  [ -n "$shots" ] && import -window root "$shots/save_restore_e2e-fail.png" 2>/dev/null
  exit 1
}
wait_for() { gui_wait_for "$@"; }
caption_is() { [ "$(xdotool getwindowname "$main" 2>/dev/null)" = "$1" ]; }
keys() {  # keys to the main window
  xdotool windowfocus "$main"
  sleep 0.2
  local k
  for k in "$@"; do
    xdotool key "$k"
    sleep 0.3
  done
}
menu_command() { keys F10 "$@"; }  # F10, then the menu's and the item's access keys
# The program's question: a box titled as the main window is; answered with keys.
answer() {
  local box _
  for _ in $(seq 1 50); do
    for box in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
      [ "$box" = "$main" ] && continue
      grep -qx "$box" <<<"$gui_windows_before" && continue
      xdotool windowfocus "$box"
      sleep 0.3
      xdotool key "$1"
      wait_for '! gui_window_shown "$box"' && return 0
      return 1
    done
    sleep 0.2
  done
  return 1
}
start() {
  gui_start "$@"
  gui_wait_main || fail "the main window did not appear"
  main=$gui_main
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$main")"
  menu=$((HEIGHT - 437))  # no window manager: the X window is menu bar + client area
  [ "$WIDTH" -eq 317 ] || fail "window width $WIDTH, expected the 317-pixel client area"
}
# Picks red 10, green 20, blue $1 for box 4 ("Player 1", minimap): with the
# keys from box 0 when $2 is "keyboard", else a click on client (152 + 34, 116 + 10).
pick() {
  if [ "${2:-}" = keyboard ]; then
    keys Right Down space
  else
    xdotool mousemove $((X + 186)) $((Y + menu + 126)) click 1
  fi
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
  xdotool type --window "$dialog" "$1"
  sleep 0.2
  xdotool key --window "$dialog" Return
  wait_for '! gui_window_shown "$dialog"' || fail "the colour dialog did not close"
  wait_for 'caption_is "$title *"' || fail "no unsaved-changes marker after the pick"
}
# The game's first file with box 4's colour changed to 10 20 $1, byte for byte.
saved_as() {
  sed 's/<player num="1" color1="50 50 255" color2="0 0 255"/<player num="1" color1="50 50 255" color2="10 20 '"$1"'"/' \
    "$game/found.xml" >"$game/expected.xml"
}

gui_set_game_folder "$game" || fail "reg add"
start
pick 30 keyboard

keys alt+F4
answer Escape || fail "closing with unsaved colours did not ask"
sleep 0.5
caption_is "$title *" || fail "Cancel did not keep the window and its colours"
echo "close, Cancel: ok"

keys ctrl+s
saved_as 30
wait_for '[ ! -e "$xmb" ]' || fail "Save left playercolors.xmb"
wait_for 'cmp -s "$xml" "$game/expected.xml"' || { diff "$game/expected.xml" "$xml"; fail "saved file differs"; }
wait_for 'caption_is "$title"' || fail "Save did not clear the marker"
cmp -s "$orig" "$game/found.xml" || fail "the first save did not keep the file as found"
echo "save: ok"

keys ctrl+z
wait_for 'caption_is "$title *"' || fail "Ctrl+Z did not bring back the colours as loaded, unsaved"
keys ctrl+y
wait_for 'caption_is "$title"' || fail "Ctrl+Y did not redo the pick, as saved"
echo "undo, redo: ok"

echo stale >"$xmb"
menu_command o r  # Options > Restore Default Colors
answer Return || fail "Restore did not ask"  # No is the default
sleep 1
cmp -s "$xml" "$game/expected.xml" || fail "Restore answered No changed the file"
menu_command o r
answer y || fail "Restore did not ask"
wait_for 'cmp -s "$xml" "$default"' || fail "Restore did not put the default file back"
wait_for '[ ! -e "$xmb" ]' || fail "Restore left playercolors.xmb"
wait_for 'caption_is "$title"' || fail "after Restore the boxes should show the file written"
keys ctrl+z
wait_for 'caption_is "$title *"' || fail "Ctrl+Z did not bring back the colours before Restore"
echo "restore: ok"

menu_command o o  # Options > Restore Original Colors
answer y || fail "Restore Original did not ask"
wait_for 'cmp -s "$xml" "$game/found.xml"' || fail "Restore Original did not put back the file as found"
wait_for 'caption_is "$title"' || fail "after Restore Original the boxes should show the file written"
echo "restore original: ok"

# Sharing, by keyboard: Export and Import through the system's file dialogs (a
# scheme named in Cyrillic, Greek and Chinese), each preset, box 0 copied into
# box 5, a box's own menu (Shift+F10); each a step, unsaved.
file_dialog() {  # F10 and the keys $1 open the dialog titled $2, which takes the file $3
  menu_command $1
  local d
  d=$(gui_wait_window "^$2\$") || fail "the $2 dialog did not open"
  sleep 0.5
  # Typed twice: xdotool lends a key to each letter missing from the keyboard
  # map, and Wine may take the first press of it before it sees the new map.
  xdotool windowfocus "$d"
  xdotool type --window "$d" --delay 50 "Z:${3//\//\\}"
  xdotool key --window "$d" Home shift+End
  xdotool type --window "$d" --delay 50 "Z:${3//\//\\}"
  xdotool key --window "$d" Return
  wait_for '! gui_window_shown "$d"' || fail "the $2 dialog did not close"
}
export_has() {  # File > Export Scheme... to $1, which then holds the line $2
  local out=$1 line=$2
  file_dialog "f e" "Export Scheme" "$out"
  wait_for 'grep -qxF "$line" "$out"' || fail "the export $out lacks: $line"
}
scheme="$gui_tmp/схема Σ 方案.txt"
export_has "$scheme" "Gaia          1 2 3          153 102 0      77 51 0"
menu_command o p v  # Options > Use Preset > Color-Vision, then Default Colors
export_has "$gui_tmp/cv.txt" "Gaia          230 159 0      230 159 0      115 80 0"
menu_command o p d
export_has "$gui_tmp/default.txt" "Gaia          153 102 0      153 102 0      77 51 0"
file_dialog "f i" "Import Scheme" "$scheme"
wait_for 'caption_is "$title"' || fail "Import did not bring back the colours of the file"
keys ctrl+z
wait_for 'caption_is "$title *"' || fail "Ctrl+Z did not undo the import"
keys ctrl+y Home Up ctrl+c Down End ctrl+v  # box 4 to box 0, copy; to box 5, paste
export_has "$gui_tmp/pasted.txt" "Player 1      50 50 255      0 0 255        1 2 3"
keys shift+F10 s  # Same as unit color: half of Player 1's 50 50 255, as in the file
wait_for 'caption_is "$title"' || fail "Same as unit color did not give the dead colour"
echo "share: ok"

pick 40
keys alt+F4
answer n || fail "closing with unsaved colours did not ask"
wait_for '! xdotool getwindowname "$main" >/dev/null 2>&1' || fail "No did not close the window"
cmp -s "$xml" "$game/found.xml" || fail "No saved the colours"
wait_for '[ -z "$(gui_our_procs)" ]' || fail "the program did not end"
echo "close, No: ok"

# The second run finds the game through --data-dir alone: the registry's folder is not there.
gui_run reg add "$gui_key" /v AppPath /t REG_SZ /d 'Z:\nowhere' /f /reg:32
start --data-dir "Z:${game//\//\\}\\data"
pick 50 keyboard
keys alt+F4
answer Return || fail "closing with unsaved colours did not ask"  # Yes is the default
wait_for '! xdotool getwindowname "$main" >/dev/null 2>&1' || fail "Yes did not close the window"
saved_as 50
cmp -s "$xml" "$game/expected.xml" || { diff "$game/expected.xml" "$xml"; fail "Yes did not save first"; }
echo "close, Yes: ok"
