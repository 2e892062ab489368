#!/usr/bin/env bash
# Plays the showcase headless along a scripted tour and checks what it leaves behind: the
# exit code, the log of the levels it entered and of what the hero met, a PNG of the last
# frame of the right size and the screenshot the S key saved.
set -euo pipefail
showcase=$1
tour=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"
KIV_LOCK_FILE="$out/kiv.lock" "$showcase" --headless --input="$tour" --frames=2000 \
    --screenshot="$out/last.png"
grep -c "Entering Playground" Kiv.log | grep -qx 2
grep -c "Entering Title" Kiv.log | grep -qx 3
# The hero ran along the ground to the first coin and touched it, the slime bumped it and
# the first stone pillar stopped it: all through the engine's collisions.
grep -q "Coin collected, score 10" Kiv.log
grep -q "The slime bumps the hero" Kiv.log
grep -q "A wall stops the hero" Kiv.log
test "$(identify -format '%wx%h' last.png)" = "640x480"
test "$(identify -format '%wx%h' showcase.bmp)" = "640x480"
