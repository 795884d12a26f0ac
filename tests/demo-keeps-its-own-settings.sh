#!/bin/sh
# scripts/demo.sh runs a velmora.exe of its own, in a folder of its own inside the demo prefix:
# neither the demo nor the Velmora of scripts/run.sh (build/<preset>/bin, in the user's prefix)
# can read the other's Msg.ini. Velmora keeps Msg.ini beside its exe, or, where that folder
# cannot be written, in %APPDATA% of the prefix it runs in; both differ for the two.
# Usage: tests/demo-keeps-its-own-settings.sh
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
where=$("$root/scripts/demo.sh" --where)
demo_exe=$(printf '%s\n' "$where" | sed -n 's/^exe: //p')
demo_settings=$(printf '%s\n' "$where" | sed -n 's/^settings: //p')
[ -n "$demo_exe" ] && [ -n "$demo_settings" ] || fail "scripts/demo.sh --where printed: $where"
demo_folder=$(dirname "$demo_exe")
[ "$demo_settings" = "$demo_folder/Msg.ini" ] || fail "the demo's Msg.ini $demo_settings is not beside its exe"
case "$demo_folder/" in
  "$root/build/demo/wineprefix/"*) ;;
  *) fail "the demo's exe $demo_exe is not inside the demo prefix" ;;
esac
for preset in mingw-x86_64 mingw-i686; do
  run_folder=$root/build/$preset/bin
  [ "$demo_folder" != "$run_folder" ] || fail "the demo runs the exe scripts/run.sh runs, in $run_folder"
  case "$demo_folder/" in
    "$run_folder/"*) fail "the demo's folder is inside $run_folder" ;;
  esac
done
# The prefix the demo runs in (its %APPDATA%) is its own too.
grep -q 'WINEPREFIX="$PWD/build/demo/wineprefix"' "$root/scripts/demo.sh" || fail "the demo does not set its own prefix"
echo "demo: $demo_exe, settings $demo_settings"
