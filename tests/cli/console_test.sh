#!/usr/bin/env bash
# tintmoor-cli.exe started with no command: from a terminal (here Wine's, on a
# pseudo-terminal, where the program also has a console to itself) it prints
# one error line and exits; in a console window of its own, as Explorer
# starts it, it shows how to use it and stays until a key is pressed.
#
#   console_test.sh tintmoor-cli.exe WINEPREFIX SOURCE_DIR
set -uo pipefail
exe=$1 prefix=$2 source=$3
. "$source/tools/lib.sh"
run=("$source/tools/wine-run" --prefix "$prefix")
out=$(mktemp)
trap 'rm -f "$out"' EXIT

# A terminal: script(1) gives the program a pseudo-terminal.
script -qec "timeout 60 ${run[*]@Q} ${exe@Q}; echo \"status \$?\"" /dev/null </dev/null >"$out" 2>&1
# Wine's terminal output moves the cursor instead of writing some spaces.
sed -i -E 's/\x1b\[[0-9;?]*[A-Za-z]/ /g; s/\r//g' "$out"
if ! grep -q 'error: *no command given' "$out" || ! grep -qx 'status 2' "$out"; then
  echo "in a terminal, with no command: expected the error line and status 2, got:" >&2
  cat -v "$out" >&2
  exit 1
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "no DISPLAY: the console window of its own was not tried"
  exit 77
fi
# A console window of its own: "start /unix" opens one, as Explorer would.
tintmoor_wine_env "$prefix"
"$(tintmoor_wine_loader "$exe")" start /wait /unix "$exe" >/dev/null 2>&1 &
started=$!
sleep 5
if ! kill -0 "$started" 2>/dev/null; then
  echo "in a console window of its own, with no command: it closed without waiting" >&2
  exit 1
fi
window=$(xdotool search --name 'tintmoor-cli' 2>/dev/null | head -1)
[ -n "$window" ] && { xdotool windowfocus --sync "$window"; xdotool key space; } 2>/dev/null
for _ in $(seq 1 50); do
  kill -0 "$started" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$started" 2>/dev/null; then
  kill "$started"
  echo "in a console window of its own: a key did not end the wait (window ${window:-not found})" >&2
  exit 1
fi
echo "terminal: error line and status 2; own console window: waited for a key"
