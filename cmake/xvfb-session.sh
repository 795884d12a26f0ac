#!/bin/sh
# A virtual X display and a persistent wineserver on the desktop test prefix, for the suite
# that drives velmora.exe with real input. Usage: xvfb-session.sh start|stop DIR PREFIX
# DIR receives the display number; without Xvfb the suite's tests report themselves skipped.
dir=$2
export WINEPREFIX="$3" WINEDEBUG=-all
mkdir -p "$dir"
case "$1" in
  start)
    rm -f "$dir/display" "$dir/xvfb.pid"
    command -v Xvfb >/dev/null 2>&1 || exit 0
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
    wineserver -p </dev/null >/dev/null 2>&1 &
    # The desktop's own process, started here detached: started by the first test, it would
    # hold that test's output pipe open and keep it from ending.
    DISPLAY=":$(head -n1 "$dir/display")" "$("$(dirname "$0")/wine-loader.sh")" explorer /desktop=Default,1024x768 \
      </dev/null >/dev/null 2>&1 &
    sleep 1
    exit 0 ;;
  stop)
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    [ -f "$dir/xvfb.pid" ] && kill "$(cat "$dir/xvfb.pid")" 2>/dev/null
    rm -f "$dir/display" "$dir/xvfb.pid"
    exit 0 ;;
esac
