#!/bin/sh
# Puts Wine's own fonts (Tahoma above all, which every Velmora window uses) into a test
# prefix's Fonts folder. Some Wine builds do not load them from Wine's data folder, and the
# windows would then be drawn and measured in a wider stand-in font.
# Usage: link-wine-fonts.sh PREFIX
prefix=$1
here=$(dirname "$0")
loader=$("$here/../cmake/wine-loader.sh") || exit 0
fonts=$(dirname "$loader")/../../share/wine/fonts
[ -d "$fonts" ] || { echo "link-wine-fonts: no $fonts (install fonts-wine): windows get a stand-in font" >&2; exit 0; }
mkdir -p "$prefix/drive_c/windows/Fonts"
for font in "$fonts"/*.ttf; do
  [ -f "$font" ] && ln -sf "$(realpath "$font")" "$prefix/drive_c/windows/Fonts/"
done
exit 0
