#!/bin/sh
# Makes a fresh Wine prefix for tests: 64-bit, no Mono/Gecko prompts, and either the null
# graphics driver (windows work without X) or, with "desktop", X11 with every window inside
# one Windows-style desktop of 1024x768. Usage: make-wineprefix.sh PREFIX [DPI] [null|desktop]
set -e
prefix=$1
dpi=${2:-96}
graphics=${3:-null}
here=$(dirname "$0")
loader=$("$here/wine-loader.sh")
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
"$loader" wineboot -i >/dev/null 2>&1 || true
if [ "$graphics" = desktop ]; then
  "$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  "$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
else
  "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
fi
"$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
wineserver -w
[ -f "$prefix/system.reg" ] || { echo "make-wineprefix: wineboot did not make $prefix" >&2; exit 1; }
touch "$prefix/.velmora-ready"
