#!/usr/bin/env bash
# The Linux and the Windows builds take one lock: a record lock on
# playercolors.xml.lock, which Wine sets for the Windows program's LockFileEx.
# Each side holds it while the other saves (which waits, says so, and saves),
# then both builds save at once, three writers each: every change survives.
#   lock_between_builds_test.sh WINDOWS-CLI WINDOWS-HOLD-LOCK PREFIX DEFAULT [LINUX-CLI]
# Python's fcntl holds the lock for Linux; the Linux build, when given, saves.
set -uo pipefail
win_cli=$1 win_hold=$2 prefix=$3 default=$4 linux_cli=${5:-}
wine() { "$(dirname "$0")/../../tools/wine-run" --prefix "$prefix" "$@"; }
command -v python3 >/dev/null || { echo "no python3: skipped"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# A copy, so a build of the Linux side going on meanwhile cannot disturb it.
mkdir "$dir/linux"
if [ -x "$linux_cli" ] && cp "$linux_cli" "$dir/linux/" && "$dir/linux/tintmoor-cli" --help >/dev/null 2>&1; then
  linux_cli=$dir/linux/tintmoor-cli
else
  linux_cli=
fi
windir="Z:${dir//\//\\}"
failed=0
fail() { echo "FAIL: $*"; failed=1; }
# python3 -c "$lock" FILE [SECONDS]: holds the lock, or exits 1 when another does.
lock='import fcntl, os, sys, time
fd = os.open(sys.argv[1], os.O_RDWR | os.O_CREAT, 0o644)
try: fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 0)
except OSError: sys.exit(1)
print("held", flush=True); time.sleep(float(sys.argv[2]) if len(sys.argv) > 2 else 0)'
colour_of() { grep -o "num=\"$1\" color1=\"[0-9 ]*\"" "$dir/playercolors.xml" | cut -d'"' -f4; }
save() {  # save BUILD PLAYER: sets the player's unit colour to 1 2 3
  if [ "$1" = windows ]; then wine "$win_cli" set "Player $2" unit 1 2 3 --data-dir "$windir"
  else "$linux_cli" set "Player $2" unit 1 2 3 --data-dir "$dir"; fi
}
wine "$win_cli" --help >/dev/null  # the prefix made, the server up

holders=(linux)
[ -n "$linux_cli" ] && holders+=(windows)
for holder in "${holders[@]}"; do
  cp "$default" "$dir/playercolors.xml"
  rm -f "$dir/held"
  # Outputs to files: through a pipe, wine-run passes "held" on only at the end.
  if [ "$holder" = linux ]; then python3 -c "$lock" "$dir/playercolors.xml.lock" 2 >"$dir/held" &
  else wine "$win_hold" "$windir\\playercolors.xml.lock" 2000 >"$dir/held" 2>"$dir/held.err" &
  fi
  holding=$!
  for _ in $(seq 300); do grep -q held "$dir/held" 2>/dev/null && break; sleep 0.05; done
  python3 -c "$lock" "$dir/playercolors.xml.lock" >/dev/null && fail "$holder: the lock was free"
  saver=$([ "$holder" = linux ] && echo windows || echo linux)
  save "$saver" 3 >/dev/null 2>"$dir/err" || fail "$saver: $(cat "$dir/err")"
  wait "$holding"
  grep -q "Waiting for another program" "$dir/err" || fail "$saver did not wait for $holder"
  [ "$(colour_of 3)" = "1 2 3" ] || fail "$saver: the change was lost"
done
python3 -c "$lock" "$dir/playercolors.xml.lock" >/dev/null || fail "the lock stayed taken"

[ -n "$linux_cli" ] || { echo "no Linux build: the race between the builds was not run"; exit "$failed"; }
for round in 1 2 3 4; do
  cp "$default" "$dir/playercolors.xml"
  pids=()
  for p in 1 2 3 4 5 6; do
    [ "$p" = 4 ] && sleep "0.$((RANDOM % 10))"  # the Windows ones start slower
    save "$([ "$p" -le 3 ] && echo windows || echo linux)" "$p" >/dev/null 2>"$dir/err.$p" &
    pids+=($!)
  done
  for p in 1 2 3 4 5 6; do
    wait "${pids[$((p - 1))]}" || fail "round $round, Player $p: $(cat "$dir/err.$p")"
    [ "$(colour_of "$p")" = "1 2 3" ] || fail "round $round: Player $p's change was lost"
  done
done
exit "$failed"
