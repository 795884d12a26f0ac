#!/bin/sh
# Builds Velmora and starts it. On Linux it runs under Wine in WINEPREFIX (~/.wine when
# unset), the same prefix as your AIM client, so Update writes where the client reads.
# Usage: scripts/run.sh
set -e
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Velmora is a desktop program and there is no display to show it on." >&2
  echo "Run this from a desktop session, or give it a virtual one: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi
scripts/install-deps.sh run
cmake --preset mingw-x86_64 >/dev/null
cmake --build --preset mingw-x86_64 --target velmora
exe=build/mingw-x86_64/bin/velmora.exe
loader=$(cmake/wine-loader.sh "$exe")
# Wine's own notes to developers stay quiet unless asked for.
export WINEDEBUG="${WINEDEBUG:--all}"
echo "Starting $exe under Wine (prefix: ${WINEPREFIX:-$HOME/.wine})"
exec "$loader" "$exe"
