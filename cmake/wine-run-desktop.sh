#!/bin/sh
# Runs a Windows exe under Wine on the virtual display of xvfb-session.sh, in a prefix whose
# windows sit in one Windows-style desktop. Usage: wine-run-desktop.sh DIR PREFIX EXE [ARGS...]
dir=$1
shift
if [ ! -s "$dir/display" ]; then
  echo "wine-run-desktop: no virtual display (is Xvfb installed?); skipped" >&2
  exit 77
fi
DISPLAY=":$(head -n1 "$dir/display")"
export DISPLAY
exec "$(dirname "$0")/wine-run.sh" "$@"
