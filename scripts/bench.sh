#!/bin/sh
# Prints Velmora's measured speed and size: the per-tick text work beside a memchr pass
# (natively), start-up and peak working set beside a minimal window program and one timer
# tick of the personal-message window (under Wine), and the size of both exes.
# Usage: scripts/bench.sh
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

echo "== Text rules (native, Release) =="
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
build/bench/tests/bench/velmora_text_bench --benchmark_min_time=0.5

echo "== Under Wine (x86_64) =="
cmake --preset mingw-x86_64 -DVELMORA_TESTS=ON >/dev/null
cmake --build --preset mingw-x86_64 >/dev/null
prefix=build/mingw-x86_64/wineprefix
export WINEPREFIX="$PWD/$prefix" WINEDEBUG=-all
wineserver -p </dev/null >/dev/null 2>&1 &
loader=$(cmake/wine-loader.sh build/mingw-x86_64/bin/velmora.exe)
"$loader" build/mingw-x86_64/bin/velmora_startup_bench.exe 15
if [ -f build/mingw-x86_64/bin/velmora_tick_bench.exe ]; then
  "$loader" build/mingw-x86_64/bin/velmora_tick_bench.exe
fi
wineserver -k

echo "== Exe sizes (as released) =="
scripts/release.sh >/dev/null
for exe in build/release-i686/bin/velmora.exe build/release-x86_64/bin/velmora.exe; do
  printf '%s: %s bytes\n' "$exe" "$(wc -c <"$exe")"
done
