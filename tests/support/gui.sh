# Shared by the shell tests that drive the real program through X on the
# virtual screen. Source it after setting exe, prefix and source (the test's
# three arguments); it defines functions only.
#
# The tests share one Wine prefix and one screen, so a test must neither be
# fooled by what an earlier one left behind nor leave anything itself: it only
# looks at windows that appeared after gui_start, and gui_stop closes the
# program as a user would, then by force, and checks nothing of it remains.
# The game's registry value is put back as it was.

. "$source/tools/lib.sh"  # TINTMOOR_GAME_KEY
gui_key=$TINTMOOR_GAME_KEY
gui_pid=              # the launcher; wine-run and /usr/bin/wine exec, so normally the program
gui_main=             # the program's main window, once gui_wait_main has found it
gui_windows_before=   # X windows that were there before gui_start
gui_procs_before=     # this prefix's Tintmoor processes that were there before gui_start
gui_saved_value=      # the registry value gui_set_game_folder replaced
gui_value_set=0
gui_tmp=              # the temporary folder gui_make_game made, and removes
gui_game=             # the game installation in it
gui_key_existed=0

# Runs a Windows program in the test prefix. Wine's output goes to files or
# nowhere: a pipe would be held open by the prefix's services and hang ctest.
gui_run() { "$source/tools/wine-run" --prefix "$prefix" "$@" >/dev/null 2>&1; }

# Waits up to 10 s for a shell condition.
gui_wait_for() {
  local _
  for _ in $(seq 1 50); do
    eval "$1" && return 0
    sleep 0.2
  done
  return 1
}

# Points the game's key (32-bit view, as the game and the program see it) at a
# Unix folder, remembering what was there for gui_restore_game_folder.
gui_set_game_folder() {
  local out
  out=$(mktemp)
  gui_key_existed=0
  "$source/tools/wine-run" --prefix "$prefix" reg query "$gui_key" /reg:32 >"$out" 2>/dev/null &&
    gui_key_existed=1
  gui_saved_value=$(tr -d '\r' <"$out" | sed -n 's/^ *AppPath *REG_SZ *//p')
  rm -f "$out"
  gui_value_set=1
  gui_run reg add "$gui_key" /v AppPath /t REG_SZ /d "Z:${1//\//\\}" /f /reg:32
}

gui_restore_game_folder() {
  [ "$gui_value_set" -eq 1 ] || return 0
  gui_value_set=0
  if [ -n "$gui_saved_value" ]; then
    gui_run reg add "$gui_key" /v AppPath /t REG_SZ /d "$gui_saved_value" /f /reg:32
  elif [ "$gui_key_existed" -eq 1 ]; then
    gui_run reg delete "$gui_key" /v AppPath /f /reg:32
  else
    gui_run reg delete "$gui_key" /f /reg:32
  fi
}

# Makes a game installation ($gui_game) in a folder named in Cyrillic, Greek
# and Chinese inside a temporary one, whose data folder holds the colour file
# $1, and sets the clean-up every test needs: the program closed (a leftover
# fails the test too), the registry value put back, the folders removed.
gui_make_game() {
  gui_tmp=$(mktemp -d)
  gui_game="$gui_tmp/Игра Παιχνίδι 游戏"
  mkdir -p "$gui_game/data"
  cp "$1" "$gui_game/data/playercolors.xml"
  trap gui_cleanup EXIT
}

gui_cleanup() {
  local rc=$?
  gui_stop || { [ "$rc" -eq 0 ] && rc=1; }
  gui_restore_game_folder
  rm -rf "$gui_tmp"
  exit "$rc"
}

# From now on the program runs from a copy, its default colour file beside it,
# in a folder named in Cyrillic, Greek and Chinese; after gui_make_game.
gui_move_program() {
  local folder="$gui_tmp/Программа Πρόγραμμα 程序"
  mkdir "$folder" && cp "$exe" "$(dirname "$exe")/playercolors.xml" "$folder/" &&
    exe="$folder/$(basename "$exe")"
}

# Process ids of Tintmoor processes running in this test's prefix (not in any
# other: helpers and CI may run the program elsewhere at the same time).
gui_prefix_procs() {
  local d pid name
  name=$(basename "$exe")
  for d in /proc/[0-9]*; do
    pid=${d#/proc/}
    [ "$pid" = "$$" ] || [ "$pid" = "$BASHPID" ] && continue  # this script names the exe too
    grep -qaiF "$name" "$d/cmdline" 2>/dev/null || continue
    grep -qazxF "WINEPREFIX=$prefix" "$d/environ" 2>/dev/null || continue
    echo "$pid"
  done
}

# Processes of this prefix's Tintmoor that gui_start's program started.
gui_our_procs() {
  local pid
  for pid in $(gui_prefix_procs); do
    grep -qx "$pid" <<<"$gui_procs_before" || echo "$pid"
  done
}

# Starts the program in the background, with the arguments given.
gui_start() {
  gui_windows_before=$(xdotool search --name . 2>/dev/null)
  gui_procs_before=$(gui_prefix_procs)
  "$source/tools/wine-run" --prefix "$prefix" "$exe" "$@" >/dev/null 2>&1 &
  gui_pid=$!
}

# Waits up to 20 s for a visible top-level window whose name matches and that
# was not there before gui_start; prints its id.
gui_wait_window() {
  local id _
  for _ in $(seq 1 100); do
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      grep -qx "$id" <<<"$gui_windows_before" || { echo "$id"; return 0; }
    done
    sleep 0.2
  done
  return 1
}

# Finds the program's main window and sets gui_main; fails if it did not appear.
gui_wait_main() {
  gui_main=$(gui_wait_window "^Brindle's AoM Tintmoor\$")
}

# True while the window exists and is mapped.
gui_window_shown() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# True while any of the given processes lives.
gui_any_alive() {
  local pid
  for pid in "$@"; do kill -0 "$pid" 2>/dev/null && return 0; done
  return 1
}

# Ends the program for sure: Alt+F4 as a user would, then by force (the X
# client, then the processes). /usr/bin/wine is a script, so the launcher's id
# alone may not be the program. Fails if a process or window of it remains.
gui_stop() {
  local procs ok=0
  if [ -n "$gui_main" ] && xdotool getwindowname "$gui_main" >/dev/null 2>&1; then
    xdotool windowfocus "$gui_main" key alt+F4 >/dev/null 2>&1
    gui_wait_for '! xdotool getwindowname "$gui_main" >/dev/null 2>&1' ||
      xdotool windowkill "$gui_main" >/dev/null 2>&1
  fi
  procs=$(gui_our_procs)
  # shellcheck disable=SC2086 # one id a word
  if ! gui_wait_for '! gui_any_alive $procs'; then
    kill $procs 2>/dev/null
    gui_wait_for '! gui_any_alive $procs' || kill -9 $procs 2>/dev/null
  fi
  if [ -n "$gui_pid" ]; then
    kill "$gui_pid" 2>/dev/null
    wait "$gui_pid" 2>/dev/null
    gui_pid=
  fi
  gui_wait_for '[ -z "$(gui_our_procs)" ]' || {
    echo "gui: Tintmoor processes remain: $(gui_our_procs | tr '\n' ' ')"
    ok=1
  }
  if [ -n "$gui_main" ] && xdotool getwindowname "$gui_main" >/dev/null 2>&1; then
    echo "gui: the program's window $gui_main remains"
    ok=1
  fi
  return $ok
}
