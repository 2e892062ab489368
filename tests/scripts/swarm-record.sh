#!/usr/bin/env bash
# Runs the swarm headless until it sets its record: the game ends by itself with status 0 and
# names a count of critters it held within the frame budget.
set -euo pipefail
game=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"
KIV_LOCK_FILE="$out/kiv.lock" timeout 600 "$game" --headless >said
grep -Eq "^swarm: [1-9][0-9]* sprites held at 60 frames per second \(fastest of 8 frames: [0-9.]+ ms; with [0-9]+ sprites: [0-9.]+ ms\)$" said
