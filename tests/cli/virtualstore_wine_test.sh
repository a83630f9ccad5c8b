#!/usr/bin/env bash
# The VirtualStore rules of the Windows build under Wine, which virtualizes
# nothing: off unless TINTMOOR_VIRTUALSTORE=1; then a save into a data folder
# under Program Files that refuses every write (made immutable: Wine reports
# that as access denied, as Windows does to a standard user) goes to the
# user's VirtualStore folder, the original kept beside it, and export never
# writes that copy; a read-only file or a folder in the original's place is an
# error, and nothing is written anywhere.
#   virtualstore_wine_test.sh WINDOWS-CLI PREFIX DEFAULT
set -uo pipefail
cli=$1 prefix=$2 default=$3
wine() { "$(dirname "$0")/../../tools/wine-run" --prefix "$prefix" "$cli" "$@"; }
name="Tintmoor VirtualStore Test $$"
data="$prefix/drive_c/Program Files (x86)/$name/data"
store="$prefix/drive_c/users/$(id -un)/AppData/Local/VirtualStore/Program Files (x86)/$name/data"
windata="C:\\Program Files (x86)\\$name\\data"
cleanup() { chattr -i "$data" 2>/dev/null; rm -rf "${data%/data}" "${store%/data}"; }
trap cleanup EXIT
mkdir -p "$data"
chattr +i "$data" 2>/dev/null || { echo "chattr +i needs root on ext4: skipped"; exit 77; }
wine --help >/dev/null  # the prefix made
failed=0
fail() { echo "FAIL: $*"; failed=1; }
changed() { grep -q 'num="5" color1="1 2 3"' "$1/playercolors.xml" 2>/dev/null; }

# spoilt as, TINTMOOR_VIRTUALSTORE, exit status, words said, where the change lands
cases=(
  "immutable 0 1 Access|denied nowhere"
  "immutable 1 0 your|own|copy store"
  "read-only 1 1 is|read-only nowhere"
  "orig-folder 1 1 cannot|be|kept nowhere"
  "- 1 0 wrote data"
)
for case in "${cases[@]}"; do
  read -r spoil setting status words lands <<<"$case"
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
  said=$(TINTMOOR_VIRTUALSTORE=$setting wine set "Player 5" unit 1 2 3 --data-dir "$windata" 2>&1)
  got=$?
  [ "$got" -eq "$status" ] || fail "$case: exit status $got: $said"
  grep -q "${words//|/ }" <<<"$said" || fail "$case: not said: $said"
  { [ "$lands" = data ] && changed "$data"; } || [ "$(cat "$data/playercolors.xml")" = "$original" ] ||
    fail "$case: the data folder's file changed"
  if [ "$lands" = store ]; then
    changed "$store" || fail "$case: no VirtualStore copy with the change"
    [ "$(cat "$store/playercolors.xml.orig" 2>/dev/null)" = "$original" ] ||
      fail "$case: the original is not kept beside the copy"
    TINTMOOR_VIRTUALSTORE=1 wine export "C:\\users\\$(id -un)\\AppData\\Local\\VirtualStore\\Program Files (x86)\\$name\\data\\playercolors.xml" \
      --data-dir "$windata" >/dev/null 2>&1 && fail "$case: export wrote over the copy"
  elif [ -e "$store" ]; then
    fail "$case: written into the VirtualStore: $(find "$store")"
  fi
  [ "$lands" = data ] && ! changed "$data" && fail "$case: the data folder's file did not change"
done
exit "$failed"
