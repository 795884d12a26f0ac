#!/bin/sh
# Prints the Wine loader that can run the given PE exe (or, with no exe, the 64-bit one; with
# --i686, the 32-bit one). Exits 1 with a reason on stderr when this machine cannot run it.
exe=$1
machine=8664
if [ "$exe" = --i686 ]; then
  machine=14c
elif [ -n "$exe" ]; then
  pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
  machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$exe" | tr -d ' ')
fi
pick() {
  for candidate in "$@"; do
    case "$candidate" in
      /*) [ -x "$candidate" ] && { echo "$candidate"; return 0; } ;;
      *) command -v "$candidate" >/dev/null 2>&1 && { command -v "$candidate"; return 0; } ;;
    esac
  done
  return 1
}
case "$machine" in
  8664 | 08664) loader=$(pick /usr/lib/wine/wine64 wine64 wine) ;;
  14c | 014c)
    loader=$(pick /usr/lib/wine/wine wine)
    # A 64-bit kernel without 32-bit support cannot start the 32-bit loader.
    if [ -n "$loader" ] && ! "$loader" --version >/dev/null 2>&1; then
      echo "wine-loader: this machine cannot run 32-bit Wine ($loader does not start)" >&2
      exit 1
    fi ;;
  *) echo "wine-loader: $exe is not an i686 or x86_64 exe" >&2; exit 1 ;;
esac
[ -n "$loader" ] || { echo "wine-loader: no Wine loader found for machine $machine" >&2; exit 1; }
echo "$loader"
