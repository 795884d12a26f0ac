#!/bin/sh
# Runs a Windows exe under Wine in a test prefix of the build tree (never ~/.wine).
# Usage: wine-run.sh PREFIX EXE [ARGS...]
# Exits 77 (ctest: skipped) when this machine cannot run the exe's architecture.
prefix=$1
shift
exe=$1
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
here=$(dirname "$0")
if [ ! -f "$prefix/.velmora-ready" ]; then
  echo "wine-run: the test prefix $prefix is not made yet (build the 'wineprefix' target)" >&2
  exit 1
fi
loader=$("$here/wine-loader.sh" "$exe") || exit 77
exec "$loader" "$@"
