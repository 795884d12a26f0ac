#!/bin/sh
# Tries Velmora without AIM or Winamp: starts the Winamp stand-in (playing a song), the AIM
# stand-in with two conversations (pal42's and bob's IM windows) and Velmora side by side under
# Wine, in a demo prefix inside build/ (your own ~/.wine is not touched). This terminal then
# talks to the AIM stand-in: type
#   recv pal42 are you there?      or      at 2 recv bob hi
# to make pal42 or bob say something, "sent" or "at 2 sent" to see what Velmora answered,
# "quit" to end.
# The demo runs a copy of velmora.exe of its own, in C:\Velmora of the demo prefix, so its
# Msg.ini (its Auto Reply rules, its saved message) is never the one scripts/run.sh's Velmora
# reads, and the other way round.
# Usage: scripts/demo.sh          (--where: print the exe the demo runs and its Msg.ini, and stop)
set -e
cd "$(dirname "$0")/.."
bin=$PWD/build/mingw-x86_64/bin
export WINEPREFIX="$PWD/build/demo/wineprefix" WINEDEBUG=-all
demo_folder=$WINEPREFIX/drive_c/Velmora
demo_exe=$demo_folder/velmora.exe
if [ "${1:-}" = --where ]; then
  echo "exe: $demo_exe"
  echo "settings: $demo_folder/Msg.ini"
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "The demo shows windows and there is no display to show them on." >&2
  echo "Run it from a desktop session, or give it a virtual one: xvfb-run -a scripts/demo.sh" >&2
  exit 1
fi
scripts/install-deps.sh run
cmake --preset mingw-x86_64 >/dev/null
cmake --build --preset mingw-x86_64 --target velmora winamp-standin aim-standin
if [ ! -f "$WINEPREFIX/.velmora-ready" ]; then
  cmake/make-wineprefix.sh "$WINEPREFIX" 96 desktop
  tests/link-wine-fonts.sh "$WINEPREFIX"
fi
# The build's newest exe, copied over the demo's at each start; the demo's Msg.ini stays.
mkdir -p "$demo_folder"
cp "$bin/velmora.exe" "$demo_exe"
loader=$(cmake/wine-loader.sh "$demo_exe")
trap 'wineserver -k 2>/dev/null || true' EXIT
"$loader" "$bin/winamp-standin.exe" "12. The Stand-ins - Demo Song - Winamp" </dev/null >/dev/null 2>&1 &
(cd "$demo_folder" && exec "$loader" "$demo_exe" </dev/null >/dev/null 2>&1) &
cat <<'TXT'
Velmora, a Winamp stand-in and an AIM IM window stand-in are starting.
- Tick "Brodcast Winamp" and press Update: the stored message ends with the song.
- Options > Personal Msg: put "pal42" in the names box, click "Off" to switch it on, then type
  here:  recv pal42 are you there?   Velmora answers once; "sent" shows what it sent.
- Options > Auto Reply: names "pal42 bob", a reply such as "Away, back soon, %n", click "Off"
  to switch it on, then type here:  recv pal42 hello   and   at 2 recv bob hi
  Both conversations are answered, each once ("sent", "at 2 sent"), and the log lists both.
Commands: recv NAME TEXT, conv, sent, close, open (window 1); "at 2 ..." for bob's; quit.
TXT
"$loader" "$bin/aim-standin.exe" --im bob
