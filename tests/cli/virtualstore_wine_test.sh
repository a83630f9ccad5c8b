#!/usr/bin/env bash
# The VirtualStore rules of the Windows build under Wine, which virtualizes
# nothing: off unless TINTMOOR_VIRTUALSTORE=1; then a save into a data folder
# under Program Files that refuses every write (made immutable: Wine reports
# that as access denied, as Windows does to a standard user) goes to the
# user's VirtualStore folder, the original kept beside it; a read-only file
# or a folder in the original's place is an error, and nothing is written.
#   virtualstore_wine_test.sh WINDOWS-CLI PREFIX DEFAULT
set -uo pipefail
cli=$1
prefix=$2
default=$3
run_wine="$(dirname "$0")/../../tools/wine-run"
probe=$(mktemp -d)
if ! chattr +i "$probe" 2>/dev/null; then
  rmdir "$probe"
  echo "cannot make a folder immutable here (chattr +i needs root on ext4): skipped"
  exit 77
fi
chattr -i "$probe"
rmdir "$probe"
"$run_wine" --prefix "$prefix" "$cli" --help >/dev/null  # the prefix made
name="Tintmoor VirtualStore Test $$"
game="$prefix/drive_c/Program Files (x86)/$name"
data="$game/data"
store="$prefix/drive_c/users/$(id -un)/AppData/Local/VirtualStore/Program Files (x86)/$name"
windata="C:\\Program Files (x86)\\$name\\data"
cleanup() {
  chattr -i "$data" 2>/dev/null
  rm -rf "$game" "$store"
}
trap cleanup EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# name, how the data folder is spoilt, TINTMOOR_VIRTUALSTORE, status, words said, where the change lands
cases=(
  "refusing-folder immutable - 1 Access|denied nowhere"
  "refusing-folder-virtualized immutable 1 0 your|own|copy store"
  "read-only-file read-only 1 1 read-only nowhere"
  "folder-named-as-the-original orig-folder 1 1 cannot|be|kept nowhere"
  "writable - 1 0 wrote data"
)
for case in "${cases[@]}"; do
  read -r what spoil setting status words lands <<<"$case"
  words=${words//|/ }
  cleanup
  mkdir -p "$data"
  # The game's own file, not the program's default (which is not kept).
  sed 's/num="5" color1="[^"]*"/num="5" color1="9 9 9"/' "$default" >"$data/playercolors.xml"
  original=$(cat "$data/playercolors.xml")
  case $spoil in
    immutable) chattr +i "$data" ;;
    read-only) chmod 444 "$data/playercolors.xml" ;;
    orig-folder) mkdir "$data/playercolors.xml.orig" ;;
  esac
  if [ "$setting" = - ]; then
    env -u TINTMOOR_VIRTUALSTORE "$run_wine" --prefix "$prefix" "$cli" set "Player 5" unit 1 2 3 \
      --data-dir "$windata" >"$probe.out" 2>&1
  else
    TINTMOOR_VIRTUALSTORE=$setting "$run_wine" --prefix "$prefix" "$cli" set "Player 5" unit 1 2 3 \
      --data-dir "$windata" >"$probe.out" 2>&1
  fi
  got=$?
  said=$(cat "$probe.out")
  [ "$got" -eq "$status" ] || fail "$what: exit status $got: $said"
  grep -q "$words" <<<"$said" || fail "$what: no \"$words\" in: $said"
  changed() { grep -q 'num="5" color1="1 2 3"' "$1/playercolors.xml" 2>/dev/null; }
  case $lands in
    data) changed "$data" || fail "$what: the data folder's file did not change" ;;
    *) [ "$(cat "$data/playercolors.xml")" = "$original" ] || fail "$what: the data folder's file changed" ;;
  esac
  if [ "$lands" = store ]; then
    changed "$store/data" || fail "$what: no VirtualStore copy with the change"
    [ "$(cat "$store/data/playercolors.xml.orig" 2>/dev/null)" = "$original" ] ||
      fail "$what: the original is not kept beside the copy"
    # The copy the game reads is the game's file: export never writes it.
    TINTMOOR_VIRTUALSTORE=1 "$run_wine" --prefix "$prefix" "$cli" export \
      "C:\\users\\$(id -un)\\AppData\\Local\\VirtualStore\\Program Files (x86)\\$name\\data\\playercolors.xml" \
      --data-dir "$windata" >/dev/null 2>&1 && fail "$what: export wrote over the VirtualStore copy"
    changed "$store/data" || fail "$what: export changed the VirtualStore copy"
  elif [ -e "$store" ]; then
    fail "$what: something was written into the VirtualStore: $(find "$store" -type f)"
  fi
done
rm -f "$probe.out"
exit "$failed"
