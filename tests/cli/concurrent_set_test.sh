#!/usr/bin/env bash
# Two `set` commands run at once on the same game, each changing its own
# colour, many times over: both changes must survive every time.
#   concurrent_set_test.sh CLI DEFAULT-COLOUR-FILE
set -uo pipefail
cli=$1
default=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
lost=0
for round in $(seq 1 10); do
  cp "$default" "$dir/playercolors.xml"
  "$cli" set "Player 1" unit 1 2 3 --data-dir "$dir" >/dev/null 2>&1 &
  "$cli" set "Player 2" unit 4 5 6 --data-dir "$dir" >/dev/null 2>&1 &
  wait
  list=$("$cli" list --format csv --data-dir "$dir")
  grep -q '^1,Player 1,1,2,3,' <<<"$list" || { echo "round $round: Player 1's change lost"; lost=1; }
  grep -q '^2,Player 2,4,5,6,' <<<"$list" || { echo "round $round: Player 2's change lost"; lost=1; }
done
exit "$lost"
