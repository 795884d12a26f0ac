#!/bin/sh
# Runs every fuzz target of the text rules for longer than the tests do.
# Usage: scripts/fuzz.sh [SECONDS_EACH]   (default 300)
set -e
cd "$(dirname "$0")/.."
seconds=${1:-300}
scripts/install-deps.sh test
cmake --preset fuzz -DVELMORA_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz --timeout $((seconds + 120))
