#!/usr/bin/env bash
# Runs the test game headless with scripted input and compares what its functions report
# with the expected sequence.
set -euo pipefail
game=$1
data=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"
KIV_LOCK_FILE="$out/kiv.lock" "$game" --headless --input="$data/escape.input" \
    --screenshot="$out/last.png" >"$out/game.log"
diff -u "$data/escape.expected" "$out/game.log"
test -f Kiv.log
test -s last.png
