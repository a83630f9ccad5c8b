#!/usr/bin/env bash
# Checks the files tools/release wrote, as a player meets them: unpacks the zip,
# the .deb (dpkg-deb -x) and the .tar.gz into a temporary folder, runs the
# programs from there, renders the man page, tries the bash completion, and
# holds each archive's contents to the README's list of them. Prints one line
# per check, "passed: NAME" or "FAILED: NAME: why" ("skipped: NAME: why"
# when it cannot run here); exits 1 when any failed.
#
#   release_test.sh DIST_DIR SOURCE_DIR [WINE_PREFIX]
#
# WINE_PREFIX, when given, runs the zip's tintmoor-cli.exe under Wine.
set -uo pipefail
dist=$(cd "$1" && pwd) source=$2 prefix=${3:+$(realpath -m "$3")}
. "$source/tools/lib.sh"
version=$(sed -nE 's/^project\(Tintmoor VERSION ([0-9.]+) .*/\1/p' "$source/CMakeLists.txt")
zip=Tintmoor-$version-win32.zip
deb=tintmoor-cli_${version}_amd64.deb
tgz=tintmoor-cli-$version-linux-x86_64.tar.gz
readme=$source/README.md
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bad=0

# check NAME COMMAND...: runs the check; what it prints on failure is the why.
check() {
  local name=$1 out
  shift
  if out=$("$@" 2>&1); then
    echo "passed: $name"
  elif [ "${out#skip: }" != "$out" ]; then
    echo "skipped: $name: ${out#skip: }"
  else
    echo "FAILED: $name: $(tr '\n' ' ' <<<"$out")"
    bad=1
  fi
}

# The first `...` of each "- `NAME`..." line of the README's list that follows
# the first line matching $1, sorted.
readme_list() {
  awk -v start="$1" '
    !found && index($0, start) { found = 1; next }
    found && /^- `/ { listing = 1; split($0, part, "`"); print part[2]; next }
    listing { exit }' "$readme" | sort
}

# expect_same WHAT WANTED GOT: both sorted lists, one item a line.
expect_same() {
  [ "$2" = "$3" ] && return 0
  echo "$1 differ: README: $(xargs <<<"$2"); archive: $(xargs <<<"$3")"
  return 1
}

# A copy of the default colors as a game's data folder.
data=$work/AoM/data
mkdir -p "$data"
cp "$source/data/playercolors.xml" "$data/"

sums() {
  (cd "$dist" && sha256sum --quiet -c SHA256SUMS) || return 1
  expect_same "SHA256SUMS names" "$(printf '%s\n' "$zip" "$deb" "$tgz" | sort)" \
    "$(awk '{ print $2 }' "$dist/SHA256SUMS" | sort)"
}
check "SHA256SUMS matches the three files" sums

# Every release file the README names carries this version.
readme_versions() {
  local stale
  stale=$(grep -oE '(Tintmoor-|tintmoor-cli[-_])[0-9]+\.[0-9]+\.[0-9]+' "$readme" |
    grep -v -- "$version\$" | sort -u | xargs)
  [ -z "$stale" ] || { echo "README names $stale, not $version"; return 1; }
}
check "README names the release files of $version" readme_versions

# --- The zip.
unzip -q "$dist/$zip" -d "$work/zip"
folder=$work/zip/Tintmoor-$version-win32
zip_contents() {
  [ "$(ls "$work/zip")" = "Tintmoor-$version-win32" ] ||
    { echo "the zip holds $(ls "$work/zip" | xargs), not one folder Tintmoor-$version-win32"; return 1; }
  expect_same "the zip's files" "$(readme_list "holds one folder, \`Tintmoor-")" "$(ls "$folder")"
}
check "the zip holds what the README lists" zip_contents

readme_html() {
  local missing= ref
  grep -q '<h2[^>]*>Getting it</h2>' "$folder/README.html" || { echo "not the README rendered"; return 1; }
  for ref in $(grep -oE '(src|href)="[^":#]+"' "$folder/README.html" | sed -E 's/^[a-z]+="//; s/"$//'); do
    [ -e "$folder/$ref" ] || missing+=" $ref"
  done
  [ -z "$missing" ] || { echo "README.html links to what the zip lacks:$missing"; return 1; }
}
check "README.html finds every picture and link it names in the zip" readme_html

changes() {
  grep -qx "$version" "$1" || { echo "$1 has no entry for $version"; return 1; }
}
check "CHANGES.txt has an entry for $version" changes "$folder/CHANGES.txt"

# The Windows command-line tool from the zip, under Wine.
zip_cli() {
  [ -n "$prefix" ] || { echo "skip: no Wine prefix given"; return 1; }
  tintmoor_wine32_runs || { echo "skip: this host cannot start 32-bit Windows programs"; return 1; }
  local exe=$folder/tintmoor-cli.exe got
  got=$("$source/tools/wine-run" --prefix "$prefix" "$exe" --version) || return 1
  [ "$got" = "tintmoor-cli $version" ] || { echo "--version printed \"$got\""; return 1; }
  got=$("$source/tools/wine-run" --prefix "$prefix" "$exe" list --data-dir "Z:$data") || return 1
  grep -q '^Player 12  255 0 102 ' <<<"$got" || { echo "list printed: $got"; return 1; }
}
check "the zip's tintmoor-cli.exe runs (--version, list --data-dir)" zip_cli

# --- The .deb.
deb_fields() {
  local field want got
  for field in Package:tintmoor-cli Version:$version Architecture:amd64; do
    want=${field#*:}
    got=$(dpkg-deb -f "$dist/$deb" "${field%%:*}")
    [ "$got" = "$want" ] || { echo "${field%%:*} is \"$got\", not \"$want\""; return 1; }
  done
}
check "the .deb is tintmoor-cli $version for amd64" deb_fields

dpkg-deb -x "$dist/$deb" "$work/deb"
deb_contents() {
  expect_same "the .deb's files" "$(readme_list "installs:")" \
    "$(cd "$work/deb" && find . -type f | sed 's/^\.//' | sort)"
}
check "the .deb installs what the README lists" deb_contents

# The program as installed: the version, the game's colors, and a data folder
# without a color file started from the default one in share/tintmoor-cli.
installed_cli() {
  local cli=$1/bin/tintmoor-cli got
  got=$("$cli" --version) && [ "$got" = "tintmoor-cli $version" ] ||
    { echo "--version printed \"$got\""; return 1; }
  got=$("$cli" list --data-dir "$data") && grep -q '^Player 12  255 0 102 ' <<<"$got" ||
    { echo "list printed: $got"; return 1; }
  local empty=$work/empty-$RANDOM
  mkdir -p "$empty"
  "$cli" set 0 unit 1 2 3 --data-dir "$empty" >/dev/null 2>&1 &&
    grep -q 'color1="1 2 3"' "$empty/playercolors.xml" ||
    { echo "set on a data folder without a color file: $("$cli" set 0 unit 1 2 3 --data-dir "$empty" 2>&1)"; return 1; }
}
check "the .deb's tintmoor-cli runs (--version, list, set from the default colors)" \
  installed_cli "$work/deb/usr"

# Debian 12 and Ubuntu 22.04, as the README says: glibc 2.35, GCC 11's runtime.
system_needs() {
  local cli=$work/deb/usr/bin/tintmoor-cli glibc glibcxx libs
  glibc=$(objdump -T "$cli" | grep -oE 'GLIBC_[0-9.]+' | sed 's/GLIBC_//' | sort -V | tail -1)
  glibcxx=$(objdump -T "$cli" | grep -oE 'GLIBCXX_[0-9.]+' | sed 's/GLIBCXX_//' | sort -V | tail -1)
  libs=$(objdump -p "$cli" | awk '/NEEDED/ { print $2 }' |
    grep -vxE 'libc\.so\.6|libm\.so\.6|libstdc\+\+\.so\.6|libgcc_s\.so\.1|ld-linux-x86-64\.so\.2' | xargs)
  [ "$(printf '%s\n' "$glibc" 2.35 | sort -V | tail -1)" = 2.35 ] || { echo "needs glibc $glibc"; return 1; }
  [ "$(printf '%s\n' "${glibcxx:-0}" 3.4.30 | sort -V | tail -1)" = 3.4.30 ] ||
    { echo "needs libstdc++ GLIBCXX_$glibcxx"; return 1; }
  [ -z "$libs" ] || { echo "needs $libs"; return 1; }
}
check "tintmoor-cli needs no more than Debian 12 and Ubuntu 22.04 have" system_needs

man_page() {
  local page=$work/deb/usr/share/man/man1/tintmoor-cli.1.gz text warnings command
  text=$(MANWIDTH=80 man --warnings -l "$page" 2>"$work/man-warnings") || return 1
  warnings=$(cat "$work/man-warnings")
  [ -z "$warnings" ] || { echo "man warns: $warnings"; return 1; }
  for command in $("$work/deb/usr/bin/tintmoor-cli" --help | sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p'); do
    grep -qi "usage: tintmoor-cli $command\b" <<<"$text" ||
      { echo "the page lacks the usage of $command"; return 1; }
  done
  grep -q "^tintmoor-cli $version " <<<"$(tail -1 <<<"$text" | sed 's/^ *//')" ||
    { echo "the page's footer does not name $version"; return 1; }
}
check "the man page renders, with every command's usage" man_page

# Completes as bash would, with the installed program first on the PATH.
complete_words() {
  PATH=$work/deb/usr/bin:$PATH bash -c '
    . "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _tintmoor_cli; printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "' \
    complete "$work/deb/usr/share/bash-completion/completions/tintmoor-cli" "$@"
}
completion() {
  local got
  while IFS='|' read -r words want; do
    # shellcheck disable=SC2086
    got=$(complete_words $words)
    [ "$got" = "$want" ] || { echo "\"$words\": \"$got\", not \"$want\""; return 1; }
  done <<'CASES'
tintmoor-cli ap|apply
tintmoor-cli --v|--version
tintmoor-cli apply x|
tintmoor-cli check --preset c|color-vision colour-vision
tintmoor-cli check --vision d|deutan
tintmoor-cli separate --col|--column
tintmoor-cli separate --column m|minimap
tintmoor-cli set 1 mi|minimap
tintmoor-cli list --format j|json
CASES
  got=$(complete_words tintmoor-cli apply '')
  [ "$got" = "color-vision colour-vision default" ] || { echo "apply: \"$got\""; return 1; }
}
check "bash completes commands, options and presets" completion

# --- The .tar.gz: the .deb's files under one folder, without /usr.
tar -xzf "$dist/$tgz" -C "$work"
tgz_contents() {
  local top=tintmoor-cli-$version-linux-x86_64
  [ "$(tar -tzf "$dist/$tgz" | cut -d/ -f1 | sort -u)" = "$top" ] ||
    { echo "not one folder $top"; return 1; }
  expect_same "the .tar.gz's files" "$(readme_list "installs:" | sed 's#^/usr/##')" \
    "$(cd "$work/$top" && find . -type f | sed 's#^\./##' | sort)"
}
check "the .tar.gz holds the .deb's files" tgz_contents
check "the .tar.gz's tintmoor-cli runs (--version, list, set from the default colors)" \
  installed_cli "$work/tintmoor-cli-$version-linux-x86_64"

exit "$bad"
