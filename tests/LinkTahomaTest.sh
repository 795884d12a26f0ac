#!/bin/sh
# scripts/run.sh links Wine's Tahoma into the user's prefix with link-wine-fonts.sh: only the
# Tahoma files, a font the prefix already has is left as it is, and a second run changes nothing.
# Usage: LinkTahomaTest.sh WORKDIR
set -u
here=$(dirname "$0")
work=$1/link-tahoma-test
rm -rf "$work"
fonts=$work/drive_c/windows/Fonts
mkdir -p "$fonts"
printf 'own' >"$fonts/tahoma.ttf"
printf 'other' >"$fonts/arial.ttf"
fail() { echo "LinkTahomaTest: $*" >&2; exit 1; }

"$here/link-wine-fonts.sh" "$work" 'tahoma*.ttf' || fail "link-wine-fonts.sh failed"
[ -L "$fonts/tahomabd.ttf" ] || { echo "no Wine fonts on this machine: skipped"; exit 77; }
[ "$(cat "$fonts/tahoma.ttf")" = own ] || fail "the prefix's own tahoma.ttf was replaced"
[ "$(cat "$fonts/arial.ttf")" = other ] || fail "arial.ttf was touched"
[ "$(ls "$fonts" | wc -l)" -eq 3 ] || fail "more than the Tahoma files linked: $(ls "$fonts")"
before=$(ls -l --time-style=+%s.%N "$fonts")
"$here/link-wine-fonts.sh" "$work" 'tahoma*.ttf'
[ "$(ls -l --time-style=+%s.%N "$fonts")" = "$before" ] || fail "a second run changed the Fonts folder"
rm -rf "$work"
echo "LinkTahomaTest: passed"
