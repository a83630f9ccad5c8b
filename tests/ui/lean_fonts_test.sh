#!/usr/bin/env bash
# The window's caption fit on a lean system: a Wine prefix of its own that
# sees only the fonts of a bare Debian 12, so no condensed face can rescue a
# caption that is too wide.
#
#   lean_fonts_test.sh TEST.exe PREFIX SOURCE
set -euo pipefail
exe=$1 prefix=$2 source=$3
. "$source/tools/lib.sh"
tintmoor_lean_fonts "$prefix-fonts"
export TINTMOOR_LEAN_FONTS=1
status=0
"$source/tools/wine-run" --prefix "$prefix" "$exe" \
  --gtest_filter='Dpi.EveryCaption*:WindowTest.EveryCaption*' || status=$?
tintmoor_stop_wine "$prefix"
exit "$status"
