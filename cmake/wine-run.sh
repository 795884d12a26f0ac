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

# Every test exe prints before it does anything else, so a run that ends in failure
# without a word never reached the exe's own code: Wine itself failed to start it,
# which happens now and then on a busy machine. Such a run is said and tried once more.
output=$(mktemp) || exit 1
trap 'rm -f "$output"' EXIT
"$loader" "$@" >"$output" 2>&1
status=$?
cat "$output"
if [ "$status" -ne 0 ] && [ "$status" -ne 77 ] && [ ! -s "$output" ]; then
  echo "wine-run: Wine ended with status $status before $exe printed anything; starting it once more" >&2
  "$loader" "$@"
  status=$?
fi
exit "$status"
