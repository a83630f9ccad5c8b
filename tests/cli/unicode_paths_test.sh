#!/usr/bin/env bash
# Names in any script, under Wine: a game installed in a folder named in
# Cyrillic, Greek and Chinese is found through the registry and --data-dir by
# the Windows build, through the prefix's system.reg and --data-dir by the
# Linux build; each lists and sets its colours, naming the file in its output.
# The Windows build also dumps the file and writes a scheme so named, and,
# each with a game in a plain folder, runs from a folder so named (its default
# file beside it) and keeps to the VirtualStore copy under a user profile so
# named (Wine names the profile after $USER). In a console it writes the
# names as text.
#   unicode_paths_test.sh WINDOWS-CLI PREFIX DEFAULT [LINUX-CLI]
set -uo pipefail
win_cli=$1 prefix=$2 default=$3 linux_cli=${4:-}
exe=$win_cli source=$(cd "$(dirname "$0")/../.." && pwd)
. "$source/tests/support/gui.sh"  # gui_set_game_folder, gui_restore_game_folder
[ -x "$linux_cli" ] || linux_cli=
wine() { "$source/tools/wine-run" --prefix "$prefix" "$@"; }

name="Игра Παιχνίδι 游戏"
dir=$(realpath "$(mktemp -d)")
game=$dir/$name
windir="Z:${dir//\//\\}"
wingame="$windir\\$name"
program="$dir/Программа Πρόγραμμα 程序"
user="Игрок Παίκτης 玩家 $$"
profile="$prefix/drive_c/users/$user"
protected="Program Files (x86)\\Tintmoor Profile Test $$"
installed="$prefix/drive_c/${protected//\\//}"
store="$profile/AppData/Local/VirtualStore/${protected//\\//}/data"
cleanup() {
  gui_restore_game_folder
  rm -rf "$dir" "$profile" "$installed"
}
trap cleanup EXIT
mkdir -p "$game/data" "$dir/fresh" "$program" "$store" "$installed/data"
cp "$win_cli" "$default" "$program/"
for copy in "$game/data" "$installed/data" "$store"; do cp "$default" "$copy/playercolors.xml"; done
gui_set_game_folder "$game" || { echo "FAIL: reg add"; exit 1; }
timeout 30 env WINEPREFIX="$prefix" wineserver -w  # system.reg written, for the Linux build

failed=0
fail() { echo "FAIL: $*"; failed=1; }
run() {  # run BUILD ARGS...: both output streams
  local build=$1
  shift
  case $build in
    windows) wine "$win_cli" "$@" ;;
    moved) wine "$program/$(basename "$win_cli")" "$@" ;;
    profile) USER=$user TINTMOOR_VIRTUALSTORE=1 wine "$win_cli" "$@" ;;
    linux) "$linux_cli" "$@" ;;
    # In a terminal, Wine gives the program a console.
    console) script -qec "$(printf '%q ' "$source/tools/wine-run" --prefix "$prefix" "$win_cli" "$@")" /dev/null ;;
  esac 2>&1
}

file="$wingame\\data\\playercolors.xml"
copy="C:\\users\\$user\\AppData\\Local\\VirtualStore\\$protected\\data\\playercolors.xml"
xml=$game/data/playercolors.xml
# build | arguments, ';' between them | what a line of the output holds
#   | the file written | what it then holds
cases=(
  "windows|list|$file"
  "windows|set;Player 1;unit;1;1;1|wrote $file|$xml|num=\"1\" color1=\"1 1 1\""
  "windows|list;--data-dir;$wingame\\data|$file"
  "console|list;--data-dir;$wingame\\data|$file"
  "windows|set;Player 2;unit;2;2;2;--data-dir;$wingame\\data|wrote $file|$xml|num=\"2\" color1=\"2 2 2\""
  "windows|export;$wingame\\Схема σχήμα 方案.txt|$wingame\\Схема σχήμα 方案.txt|$game/Схема σχήμα 方案.txt|Player 12"
  "windows|dump;$file|\"player\" closed \"num\"=\"12\""
  "moved|set;Player 6;unit;6;6;6;--data-dir;$windir\\fresh|wrote $windir\\fresh\\playercolors.xml|$dir/fresh/playercolors.xml|num=\"6\" color1=\"6 6 6\""
  "profile|list;--data-dir;C:\\$protected\\data|$copy"
  "profile|set;Player 7;unit;7;7;7;--data-dir;C:\\$protected\\data|wrote $copy|$store/playercolors.xml|num=\"7\" color1=\"7 7 7\""
  "linux|list;--wine-prefix;$prefix|$xml"
  "linux|set;Player 3;unit;3;3;3;--wine-prefix;$prefix|wrote $xml|$xml|num=\"3\" color1=\"3 3 3\""
  "linux|set;Player 4;unit;4;4;4;--data-dir;$game/data|wrote $xml|$xml|num=\"4\" color1=\"4 4 4\""
)
for case in "${cases[@]}"; do
  IFS='|' read -r build arguments expected written holds <<<"$case"
  IFS=';' read -r -a args <<<"$arguments"
  if { [ "$build" = linux ] && [ -z "$linux_cli" ]; } ||
    { [ "$build" = console ] && ! command -v script >/dev/null; }; then
    echo "no $([ "$build" = linux ] && echo "Linux build" || echo script): skipped $arguments"
    continue
  fi
  said=$(run "$build" "${args[@]}")
  status=$?
  [ "$status" -eq 0 ] || fail "$build $arguments: exit status $status: $said"
  grep -qF -- "$expected" <<<"$said" || fail "$build $arguments: not said: $expected; said: $said"
  [ -z "$written" ] || grep -qF -- "$holds" "$written" 2>/dev/null ||
    fail "$build $arguments: $written does not hold $holds"
done
cmp -s "$default" "$installed/data/playercolors.xml" ||
  fail "the game's own file changed beside its VirtualStore copy"
exit "$failed"
