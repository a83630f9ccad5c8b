#!/usr/bin/env bash
# Drives the real program with the real colour dialog on the virtual screen:
# click a colour box, confirm the dialog, and see the caption gain " *".
#
#   real_dialog_test.sh TINTMOOR.EXE WINEPREFIX SOURCE_DIR
# Exits 77 (skipped) without DISPLAY or xdotool.
set -uo pipefail
exe=$1 prefix=$2 source=$3
[ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null || { echo "no DISPLAY or xdotool"; exit 77; }

key='HKLM\Software\Microsoft\Microsoft Games\Age of Mythology\1.0'
game=$(mktemp -d)
mkdir "$game/data"
cp "$source/data/playercolors.xml" "$game/data/"
# Wine's output goes nowhere: a wineserver that kept ctest's pipe open would hang the test.
run() { "$source/tools/wine-run" --prefix "$prefix" "$@" >/dev/null 2>&1; }
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$pid" ] && wait "$pid" 2>/dev/null
  run reg delete "$key" /v AppPath /f
  rm -rf "$game"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Waits up to 20 s for a top-level window whose name matches; prints its id.
wait_window() {
  local id
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

run reg add "$key" /v AppPath /t REG_SZ /d "Z:${game//\//\\}" /f || fail "reg add"
"$source/tools/wine-run" --prefix "$prefix" "$exe" >/dev/null 2>&1 &
pid=$!  # wine-run execs wine, so this is the program itself

main=$(wait_window "^Brindle's AoM Tintmoor\$") || fail "the main window did not appear"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
# With no window manager the X window holds the menu bar and the 437-pixel client area.
menu=$((HEIGHT - 437))
[ "$WIDTH" -eq 317 ] || fail "window width $WIDTH, expected the 317-pixel client area"
# The middle of picColor(4): client (152 + 34, 116 + 10).
xdotool mousemove $((X + 186)) $((Y + menu + 126)) click 1

dialog=$(wait_window "^Color\$") || fail "the colour dialog did not open"
# The dialog may be mapped before it takes the keyboard: press OK (Return) until it is gone.
for _ in $(seq 1 10); do
  xdotool windowfocus --sync "$dialog" >/dev/null 2>&1 || xdotool windowfocus "$dialog" >/dev/null 2>&1
  sleep 0.3
  xdotool key Return
  sleep 0.7
  xdotool search --onlyvisible --name "^Color\$" >/dev/null 2>&1 || break
done

for _ in $(seq 1 50); do
  name=$(xdotool getwindowname "$main" 2>/dev/null)
  [ "$name" = "Brindle's AoM Tintmoor *" ] && { echo "caption: $name"; exit 0; }
  sleep 0.2
done
fail "caption is \"$name\", expected \"Brindle's AoM Tintmoor *\""
