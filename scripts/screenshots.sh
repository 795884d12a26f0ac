#!/bin/sh
# Takes a picture of each of Velmora's windows that opens, with Windows-style frames drawn
# by Wine's virtual desktop on a virtual X server, and saves them as docs/screenshots/NAME.png.
# Windows that are not built yet are skipped. Installs what is missing (Xvfb, xdotool and
# ImageMagick besides the build tools). Works in a throwaway Wine prefix under build/.
# With --dpi and --no-tahoma it shows the windows as a user without Wine's Tahoma, or on a
# high-DPI screen, sees them (pictures to look at, for the layout: they go to build/, not docs/).
# Usage: scripts/screenshots.sh [--dpi 96|120|144|192] [--no-tahoma]
set -eu
cd "$(dirname "$0")/.."

dpi=96
tahoma=yes
inside=no
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi) dpi=$2; shift 2 ;;
    --no-tahoma) tahoma=no; shift ;;
    --inside) inside=yes; shift ;;
    *) echo "usage: scripts/screenshots.sh [--dpi N] [--no-tahoma]" >&2; exit 2 ;;
  esac
done
# The virtual desktop grows with the DPI, as the windows do.
desktopSize=$((800 * dpi / 96))x$((600 * dpi / 96))

if [ $inside = no ]; then
  scripts/install-deps.sh screenshots
  cmake --preset mingw-x86_64 >/dev/null
  cmake --build --preset mingw-x86_64 --target velmora
  screen=$((1024 * dpi / 96))x$((768 * dpi / 96))x24
  more=""
  [ $tahoma = no ] && more="--no-tahoma"
  exec xvfb-run -a -s "-screen 0 $screen" "$0" --inside --dpi "$dpi" $more
fi

if [ $dpi = 96 ] && [ $tahoma = yes ]; then
  work=$PWD/build/screenshots
  out=$PWD/docs/screenshots
else
  name=screenshots-$dpi-dpi$([ $tahoma = no ] && echo -no-tahoma || true)
  work=$PWD/build/$name
  out=$PWD/build/mingw-x86_64/$name
fi
exe=$PWD/build/mingw-x86_64/bin/velmora.exe
rm -rf "$work"
mkdir -p "$work/app" "$out"
cp "$exe" "$work/app/velmora.exe"

# The driver opens the windows through the main window, as a user would.
x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -static -municode -DUNICODE -D_UNICODE -Isrc \
  scripts/screenshots/WindowDriver.cpp -o "$work/window-driver.exe" -luser32

export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
cmake/make-wineprefix.sh "$WINEPREFIX" "$dpi"
[ $tahoma = yes ] && tests/link-wine-fonts.sh "$WINEPREFIX"
loader=$(cmake/wine-loader.sh "$exe")
# Drawn on the X server this time, and every program of the prefix on one virtual desktop.
"$loader" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null
"$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d velmora /f >/dev/null
"$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v velmora /d "$desktopSize" /f >/dev/null

# A few stored away messages for the Stored Messages window to show.
list='HKCU\Software\America Online\AOL Instant Messenger (TM)\CurrentVersion\Users\Harlowpine\IAmGoneList'
head='<HTML><BODY BGCOLOR="#FFFFE0"><B><FONT COLOR="#000080"FACE="Tahoma"LANG="0"SIZE=3>'
"$loader" reg add "$list" /v GoneMsg1 /d "<title>Lunch</title>${head}Out to lunch, back at 1.<BR>Leave a note, %n!</FONT></BODY></HTML>" /f >/dev/null
"$loader" reg add "$list" /v GoneMsg2 /d "<title>Weekend</title>${head}Gone for the weekend.</FONT></BODY></HTML><BR>${head}Last Song Played on winamp:  Artist - Title" /f >/dev/null
"$loader" reg add "$list" /v GoneMsg3 /d '<title>From the client</title><BODY BGCOLOR="#000000"><FONT COLOR="#00FF00">Typed in the <I>IM client</I></FONT></BODY>' /f >/dev/null

cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
(cd "$work/app" && "$loader" explorer /desktop=velmora,"$desktopSize" velmora.exe >/dev/null 2>&1 &)

driver() { "$loader" "$work/window-driver.exe" "$@" 2>/dev/null | tr -d '\r'; }
if [ -z "$(driver show main)" ]; then
  echo "screenshots: Velmora's main window did not appear" >&2
  exit 1
fi
desktop=$(xdotool search --name 'Wine desktop' | head -n 1)
[ -n "$desktop" ] || { echo "screenshots: no Wine desktop window on the X server" >&2; exit 1; }

taken=""
for name in $(driver list); do
  geometry=$(driver show "$name") || geometry=""
  if [ -z "$geometry" ]; then
    echo "screenshots: $name does not open yet, skipped"
    continue
  fi
  sleep 1  # let it paint
  set -- $geometry
  import -window "$desktop" -crop "${3}x${4}+${1}+${2}" +repage "$out/$name.png"
  taken="$taken $name"
  [ "$name" = main ] || driver close "$name" >/dev/null || true
done
echo "screenshots:$taken (in $out)"
