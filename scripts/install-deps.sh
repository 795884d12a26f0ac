#!/bin/sh
# Installs what building and testing Velmora needs on Debian or Ubuntu, and only what is
# missing. Usage: scripts/install-deps.sh [run|test|screenshots]
#   run:  the Windows cross compilers and Wine (with its fonts: Tahoma as the windows use
#         it), to build and start Velmora
#   test: also CMake's native tools, GoogleTest's sources, clang-format and ccache, for every
#         test and the format check
#   screenshots: also a virtual X server, xdotool and ImageMagick, for scripts/screenshots.sh
set -e
purpose=${1:-test}

packages="cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64 wine wine64 fonts-wine"
[ "$purpose" = test ] && packages="$packages g++ googletest clang clang-format libclang-rt-dev libbenchmark-dev xvfb ccache"
[ "$purpose" = screenshots ] && packages="$packages xvfb xdotool imagemagick"
# 32-bit Wine runs the i686 exe; it comes from the i386 architecture.
i386="wine32:i386"

missing=""
for package in $packages $i386; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  echo "Velmora needs these packages (or your system's equivalents):$missing" >&2
  echo "This is not a Debian or Ubuntu system, so install them by hand." >&2
  exit 1
fi
if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "Velmora needs these packages:$missing" >&2
  echo "Run this script as root (or install sudo) so it can install them." >&2
  exit 1
fi

echo "Installing:$missing"
case "$missing" in
  *:i386*)
    if [ "$(dpkg --print-architecture)" = amd64 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      $as_root dpkg --add-architecture i386
    fi ;;
esac
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update -qq
# shellcheck disable=SC2086
$as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
