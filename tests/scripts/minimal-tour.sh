#!/usr/bin/env bash
# Plays the minimal example headless along its tour: the hero walks right and down and the
# game quits on Escape with status 0.
set -euo pipefail
game=$1
tour=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"
KIV_LOCK_FILE="$out/kiv.lock" "$game" --headless --input="$tour" --frames=600 >said
grep -qx "hero at 272, 152" said
