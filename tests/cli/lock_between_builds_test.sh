#!/usr/bin/env bash
# The Linux and the Windows builds take one lock: a record lock on
# playercolors.xml.lock, which Wine sets for the Windows program's LockFileEx.
# Each side holds it while the other tries to save, then both save at once,
# over and over: every change must survive, and a wait must end in time.
#   lock_between_builds_test.sh WINDOWS-CLI WINDOWS-HOLD-LOCK PREFIX DEFAULT [LINUX-CLI]
# Python's fcntl stands in for the Linux build where it is not built.
set -uo pipefail
win_cli=$1
win_hold=$2
prefix=$3
default=$4
linux_cli=${5:-}
run_wine="$(dirname "$0")/../../tools/wine-run"
command -v python3 >/dev/null || { echo "no python3: skipped"; exit 77; }
[ -n "$linux_cli" ] && [ ! -x "$linux_cli" ] && linux_cli=
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
windir="Z:${dir//\//\\}"
lock="$dir/playercolors.xml.lock"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Holds the lock from Linux for $1 seconds; prints "held" first.
hold_linux() {
  python3 -c '
import fcntl, os, sys, time
fd = os.open(sys.argv[1], os.O_RDWR | os.O_CREAT, 0o644)
fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 0)
print("held", flush=True)
time.sleep(float(sys.argv[2]))' "$lock" "$1"
}
# Exit status 0 when Linux can take the lock now, 1 when another holds it.
linux_can_lock() {
  python3 -c '
import fcntl, os, sys
fd = os.open(sys.argv[1], os.O_RDWR | os.O_CREAT, 0o644)
try:
    fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 0)
except OSError:
    sys.exit(1)' "$lock"
}
wait_for_held() {
  for _ in $(seq 1 300); do grep -q held "$1" 2>/dev/null && return 0; sleep 0.05; done
  return 1
}
# The Player N unit colour in the file, as "R,G,B".
colour_of() { grep -o "num=\"$1\" color1=\"[0-9 ]*\"" "$dir/playercolors.xml" | grep -o '"[0-9 ]*"$' | tr -d '"' | tr ' ' ,; }

"$run_wine" --prefix "$prefix" "$win_cli" --help >/dev/null  # the prefix made, the server up

# holder, seconds held, who saves, status, words on standard error, whether the change lands
cases=(
  "linux 2 windows 0 Waiting|for|another|program yes"
  "linux 9 windows 1 another|program|is|saving no"
)
[ -n "$linux_cli" ] && cases+=("windows 3 linux 0 Waiting|for|another|program yes")
for case in "${cases[@]}"; do
  read -r holder seconds saver status words lands <<<"$case"
  words=${words//|/ }
  cp "$default" "$dir/playercolors.xml"
  before=$(colour_of 3)
  rm -f "$dir/held"
  if [ "$holder" = linux ]; then
    hold_linux "$seconds" >"$dir/held" &
  else
    # Both outputs to files: through a pipe, wine-run passes "held" on only at the end.
    "$run_wine" --prefix "$prefix" "$win_hold" "$windir\\playercolors.xml.lock" $((seconds * 1000)) \
      >"$dir/held" 2>"$dir/held.err" &
  fi
  holder_pid=$!
  wait_for_held "$dir/held" || fail "$case: the $holder side never held the lock"
  if [ "$holder" = windows ]; then
    linux_can_lock && fail "$case: Linux took the lock the Windows program holds"
  fi
  if [ "$saver" = windows ]; then
    "$run_wine" --prefix "$prefix" "$win_cli" set "Player 3" unit 1 2 3 --data-dir "$windir" >"$dir/out" 2>"$dir/err"
  else
    "$linux_cli" set "Player 3" unit 1 2 3 --data-dir "$dir" >"$dir/out" 2>"$dir/err"
  fi
  got=$?
  wait "$holder_pid"
  [ "$got" -eq "$status" ] || fail "$case: exit status $got: $(cat "$dir/err")"
  grep -q "$words" "$dir/err" || fail "$case: no \"$words\" in: $(cat "$dir/err")"
  if [ "$lands" = yes ]; then
    [ "$(colour_of 3)" = 1,2,3 ] || fail "$case: the change was lost"
  else
    [ "$(colour_of 3)" = "$before" ] || fail "$case: written although the lock was held"
  fi
done
linux_can_lock || fail "the lock stayed taken after every holder ended"

# Both builds saving at once, three writers each, each its own colour: every
# change stays, and nobody fails.
if [ -n "$linux_cli" ]; then
  for round in $(seq 1 4); do
    cp "$default" "$dir/playercolors.xml"
    pids=()
    for p in 1 2 3; do
      "$run_wine" --prefix "$prefix" "$win_cli" set "Player $p" unit 1 2 3 --data-dir "$windir" \
        >/dev/null 2>"$dir/err.$p" &
      pids+=($!)
    done
    sleep "0.$((RANDOM % 10))"
    for p in 4 5 6; do
      "$linux_cli" set "Player $p" unit 4 5 6 --data-dir "$dir" >/dev/null 2>"$dir/err.$p" &
      pids+=($!)
    done
    for i in "${!pids[@]}"; do
      wait "${pids[$i]}" || fail "round $round, Player $((i + 1)): $(cat "$dir/err.$((i + 1))")"
    done
    for p in 1 2 3; do [ "$(colour_of $p)" = 1,2,3 ] || fail "round $round: Player $p (Windows) lost"; done
    for p in 4 5 6; do [ "$(colour_of $p)" = 4,5,6 ] || fail "round $round: Player $p (Linux) lost"; done
  done
else
  echo "no Linux build given: the race between the two builds was not run"
fi
exit "$failed"
