#!/bin/sh
# Checks the format, builds everything with warnings as errors and runs every test: the pure
# rules natively under ASan and UBSan, then the text rules fuzzed for a bounded time, then the
# platform code and velmora.exe end to end under Wine, for x86_64 and i686. The tests run side
# by side, as many as the machine has cores; those that must not meet hold a lock
# (tests/CMakeLists.txt). The Wine tests run the release velmora.exe, the one the zips hold.
# Usage: scripts/test.sh
set -u
cd "$(dirname "$0")/.."
scripts/install-deps.sh test || exit 1
jobs=$(nproc 2>/dev/null || echo 2)
# A build tree made anew compiles only what changed since any earlier build on this machine, in
# any clone of Velmora: paths inside the tree are taken as relative to it.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD"
fi

failed=""
echo "== format =="
scripts/check-format.sh || failed="$failed format"
for preset in native fuzz mingw-x86_64 mingw-i686; do
  echo "== $preset =="
  if ! cmake --preset "$preset" -DVELMORA_TESTS=ON -DVELMORA_WERROR=ON >/dev/null || ! cmake --build --preset "$preset"; then
    failed="$failed $preset(build)"
    continue
  fi
  if [ "$preset" = mingw-i686 ] && ! cmake/wine-loader.sh build/mingw-i686/bin/velmora.exe >/dev/null 2>&1; then
    echo "This machine cannot run 32-bit Wine: the i686 tests are reported as skipped."
  fi
  ctest --preset "$preset" -j"$jobs" || failed="$failed $preset"
done

if [ -n "$failed" ]; then
  echo "FAILED:$failed"
  exit 1
fi
echo "All test levels passed."
