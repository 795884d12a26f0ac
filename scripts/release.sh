#!/bin/sh
# Builds the 32-bit and the 64-bit velmora.exe for release and packs each with the README and
# the licence: dist/velmora-VERSION-win32.zip and
# dist/velmora-VERSION-win64.zip, VERSION being the project version in CMakeLists.txt.
# The exe is the one the tests run: the same preset builds it the same with the tests on or off
# (MinSizeRel, linked across files, symbols stripped), byte for byte.
# Each exe is checked to import only Windows' own DLLs.
# Usage: scripts/release.sh
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh run

mkdir -p dist
for target in i686:win32 x86_64:win64; do
  arch=${target%%:*}
  label=${target#*:}
  build=build/release-$arch
  echo "== velmora.exe for $label =="
  cmake --preset "mingw-$arch" -B "$build" -DVELMORA_TESTS=OFF >/dev/null
  cmake --build "$build" --target velmora
  cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
  version=$(cache CMAKE_PROJECT_VERSION)
  cmake -DOBJDUMP="$(cache CMAKE_OBJDUMP)" -DEXE="$build/bin/velmora.exe" -P tests/CheckImports.cmake

  stage=$build/package
  rm -rf "$stage"
  mkdir -p "$stage"
  cp "$build/bin/velmora.exe" "$stage/velmora.exe"
  cp README.md LICENSE "$stage/"
  zip=velmora-$version-$label.zip
  rm -f "dist/$zip"
  (cd "$stage" && cmake -E tar cf "../../../dist/$zip" --format=zip velmora.exe README.md LICENSE)
  echo "dist/$zip: velmora.exe $(wc -c <"$stage/velmora.exe") bytes"
done
