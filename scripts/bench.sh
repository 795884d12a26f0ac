#!/bin/sh
# Prints Velmora's measured speed and size: the per-tick text work, the preview's reading and
# layout and the reading of stored documents beside a memchr pass (natively), start-up and peak
# working set beside a minimal window program, one timer tick of the personal-message window and
# reading and saving a hostile 10 MB Msg.ini and finding the stored screen names among
# 120,000 keys (under Wine), and the size of both exes.
# Usage: scripts/bench.sh
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

echo "== Text rules (native, Release) =="
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
build/bench/tests/bench/velmora_text_bench --benchmark_min_time=0.5

echo "== Preview: markup reading and layout (native, Release) =="
build/bench/tests/bench/velmora_preview_bench --benchmark_min_time=0.5

echo "== Stored Messages: a stored document read back (native, Release) =="
build/bench/tests/bench/velmora_stored_bench --benchmark_min_time=0.5

scripts/release.sh >/dev/null

echo "== Under Wine (x86_64) =="
cmake --preset mingw-x86_64 -DVELMORA_TESTS=ON >/dev/null
cmake --build --preset mingw-x86_64 >/dev/null
prefix=build/mingw-x86_64/wineprefix
export WINEPREFIX="$PWD/$prefix" WINEDEBUG=-all
wineserver -p </dev/null >/dev/null 2>&1 &
loader=$(cmake/wine-loader.sh build/mingw-x86_64/bin/velmora.exe)
# The released exe, as a user starts it.
"$loader" build/mingw-x86_64/bin/velmora_startup_bench.exe 21 "$("$loader" winepath -w build/release-x86_64/bin/velmora.exe 2>/dev/null)"
"$loader" build/mingw-x86_64/bin/velmora_tick_bench.exe
"$loader" build/mingw-x86_64/bin/velmora_settings_bench.exe
"$loader" build/mingw-x86_64/bin/velmora_stored_names_bench.exe
"$loader" build/mingw-x86_64/bin/velmora_preview_pane_bench.exe
wineserver -k

echo "== Exe sizes (as released) =="
for exe in build/release-i686/bin/velmora.exe build/release-x86_64/bin/velmora.exe; do
  printf '%s: %s bytes\n' "$exe" "$(wc -c <"$exe")"
done
