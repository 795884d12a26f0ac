#!/bin/sh
# Keeps one persistent wineserver on the test prefix while the tests run, so each
# test exe starts in tens of milliseconds. Usage: wine-session.sh start|stop PREFIX
export WINEPREFIX="$2" WINEDEBUG=-all
here=$(dirname "$0")
case "$1" in
  start)
    # Detached from ctest's output pipes, which it would otherwise hold open.
    wineserver -p </dev/null >/dev/null 2>&1 &
    # One client run, so the server is up and the prefix loaded before the first test.
    "$("$here/wine-loader.sh")" reg query 'HKCU\Software\Wine\Drivers' </dev/null >/dev/null 2>&1
    exit 0 ;;
  stop) wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; exit 0 ;;
esac
