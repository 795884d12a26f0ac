#!/bin/sh
# Makes a fresh Wine prefix for tests: 64-bit, null graphics driver (windows work without X),
# no Mono/Gecko prompts. Usage: make-wineprefix.sh PREFIX [DPI]
set -e
prefix=$1
dpi=${2:-96}
here=$(dirname "$0")
loader=$("$here/wine-loader.sh")
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
"$loader" wineboot -i >/dev/null 2>&1 || true
"$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
"$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
wineserver -w
[ -f "$prefix/system.reg" ] || { echo "make-wineprefix: wineboot did not make $prefix" >&2; exit 1; }
touch "$prefix/.velmora-ready"
