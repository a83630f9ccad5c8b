#!/usr/bin/env bash
# The window's caption fit on a lean system: a Wine prefix of its own that
# sees only the fonts of a bare Debian 12 (fonts-dejavu-core), so no
# condensed face can rescue a caption that is too wide. Wine reads the font
# folders fontconfig names, not fontconfig's filtered list, so the prefix gets
# a fontconfig setup naming one folder that holds just those fonts.
#
#   lean_fonts_test.sh TEST.exe PREFIX SOURCE
set -euo pipefail
exe=$1 prefix=$2 source=$3
fonts=$prefix-fonts
core=/usr/share/fonts/truetype/dejavu
mkdir -p "$fonts/cache"
for face in DejaVuSans DejaVuSans-Bold DejaVuSansMono DejaVuSansMono-Bold DejaVuSerif DejaVuSerif-Bold; do
  ln -sf "$core/$face.ttf" "$fonts/$face.ttf"
done
cat >"$fonts/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$fonts</dir><cachedir>$fonts/cache</cachedir></fontconfig>
CONF
export FONTCONFIG_FILE=$fonts/fonts.conf TINTMOOR_LEAN_FONTS=1
status=0
"$source/tools/wine-run" --prefix "$prefix" "$exe" \
  --gtest_filter='Dpi.EveryCaption*:WindowTest.EveryCaption*' || status=$?
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
exit "$status"
