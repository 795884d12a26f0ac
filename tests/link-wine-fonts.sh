#!/bin/sh
# Puts Wine's own fonts (Tahoma above all, which every Velmora window uses) into a prefix's
# Fonts folder. Some Wine builds do not load them from Wine's data folder, and the windows
# would then be drawn and measured in a wider stand-in font. A font the prefix already has
# is left as it is (a Tahoma of the user's own, say).
# Usage: link-wine-fonts.sh PREFIX [PATTERN]    (PATTERN: which fonts; every *.ttf when unset)
prefix=$1
pattern=${2:-*.ttf}
here=$(dirname "$0")
loader=$("$here/../cmake/wine-loader.sh") || exit 0
fonts=$(dirname "$loader")/../../share/wine/fonts
[ -d "$fonts" ] || { echo "link-wine-fonts: no $fonts (install fonts-wine): windows get a stand-in font" >&2; exit 0; }
mkdir -p "$prefix/drive_c/windows/Fonts"
for font in "$fonts"/$pattern; do
  [ -f "$font" ] || continue
  target="$prefix/drive_c/windows/Fonts/$(basename "$font")"
  [ -e "$target" ] && continue
  ln -s "$(realpath "$font")" "$target"
done
exit 0
