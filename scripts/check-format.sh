#!/bin/sh
# Checks that Velmora's own sources (src/, tools/, tests/) are formatted as .clang-format says,
# with clang-format 14 as Debian 12 has it, and prints each drift as a diff (to stdout).
# Fails when anything drifts. Mend with: clang-format -i FILE...
# Usage: scripts/check-format.sh [FILE...]
set -u
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format) || {
  echo "check-format: clang-format is missing (scripts/install-deps.sh test installs it)" >&2
  exit 1
}
# Other versions place some things differently, so their verdict would differ from CI's.
"$format" --version | grep -q 'version 14\.' || echo "check-format: $("$format" --version) is not clang-format 14; its verdict may differ" >&2

if [ $# -eq 0 ]; then
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    set -- $(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'tests/*.cpp' 'tests/*.h')
  else
    set -- $(find src tools tests -name '*.cpp' -o -name '*.h' | sort)
  fi
fi

drifted=0
for file in "$@"; do
  if ! "$format" --style=file "$file" | diff -u --label "$file" --label "$file (formatted)" "$file" -; then
    drifted=$((drifted + 1))
  fi
done
if [ "$drifted" -ne 0 ]; then
  echo "check-format: $drifted of $# files drift from .clang-format (the diffs above; clang-format -i FILE mends)" >&2
  exit 1
fi
echo "check-format: $# files as .clang-format says"
