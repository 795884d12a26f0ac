#!/bin/sh
# Builds Velmora and starts it. On Linux it runs under Wine in WINEPREFIX (~/.wine when
# unset), the same prefix as your AIM client, so Update writes where the client reads. A
# 32-bit prefix gets the 32-bit exe (a 64-bit exe cannot start there), any other the 64-bit one.
# Wine's own Tahoma is linked into the prefix once, where it has none.
# Usage: scripts/run.sh
set -e
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Velmora is a desktop program and there is no display to show it on." >&2
  echo "Run this from a desktop session. (xvfb-run -a scripts/run.sh gives it a virtual display that" >&2
  echo "nobody can see: it is for trying the script on a machine without a desktop, nothing more.)" >&2
  exit 1
fi
prefix=${WINEPREFIX:-$HOME/.wine}
# Wine notes a prefix's kind in its registry file; a prefix not made yet will be made as
# WINEARCH says (64-bit when unset).
if [ -f "$prefix/system.reg" ]; then
  grep -q '^#arch=win32' "$prefix/system.reg" && bits=32 || bits=64
else
  [ "${WINEARCH:-}" = win32 ] && bits=32 || bits=64
fi
[ $bits = 32 ] && preset=mingw-i686 || preset=mingw-x86_64
scripts/install-deps.sh run
if [ $bits = 32 ] && ! cmake/wine-loader.sh --i686 >/dev/null 2>&1; then
  echo "The Wine prefix $prefix is a 32-bit one, and this machine cannot run 32-bit Wine" >&2
  echo "(32-bit Wine is missing, or the kernel cannot run 32-bit programs), so neither the" >&2
  echo "32-bit Velmora nor a 32-bit AIM client can run here. Install 32-bit Wine where the kernel" >&2
  echo "allows it (Debian: dpkg --add-architecture i386; apt-get install wine32:i386), or use" >&2
  echo "Velmora on a machine that can. To try it without AIM: scripts/demo.sh (a 64-bit prefix)." >&2
  exit 1
fi
exe=build/$preset/bin/velmora.exe
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target velmora
loader=$(cmake/wine-loader.sh "$exe")
# Wine's own notes to developers stay quiet unless asked for.
export WINEDEBUG="${WINEDEBUG:--all}"
if [ ! -f "$prefix/system.reg" ]; then
  echo "Making the Wine prefix $prefix: the first start takes a minute or so, with nothing more printed."
  WINEPREFIX="$prefix" "$loader" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
fi
# Velmora's windows are set in Tahoma: Wine's own, where the prefix has none (nothing else in
# the prefix is touched). Without it Wine draws a wider stand-in font.
fonts=$prefix/drive_c/windows/Fonts
if [ ! -e "$fonts/tahoma.ttf" ]; then
  tests/link-wine-fonts.sh "$prefix" 'tahoma*.ttf'
  [ -e "$fonts/tahoma.ttf" ] && echo "Linked Wine's own Tahoma into $fonts (once: Velmora's windows are drawn in it)."
fi
echo "Starting $exe under Wine (prefix: $prefix, $bits-bit)"
exec "$loader" "$exe"
