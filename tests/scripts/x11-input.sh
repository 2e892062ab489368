#!/usr/bin/env bash
# Plays the test game's input script over a real X window (Xvfb, SDL backend): the scripted
# keys reach the game as they do headless, and Escape ends it the same way. The sound goes
# through ALSA, which finds no card on a machine without one: its complaints must stay off
# the terminal. Exit 77 (skipped) where Xvfb is missing.
set -euo pipefail
game=$1
data=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! command -v xvfb-run >/dev/null; then
    echo "skipped: xvfb-run is not installed"
    exit 77
fi
cd "$out"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" # see x11-window.sh
xvfb-run -a -s "-screen 0 800x600x24" \
    env KIV_PLATFORM=sdl SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=alsa SDL_RENDER_DRIVER=software \
    KIV_LOCK_FILE="$out/kiv.lock" \
    "$game" --scale=1 --input="$data/escape.input" >"$out/game.log" 2>"$out/errors.log"
diff -u "$data/escape.expected" "$out/game.log"
if grep "ALSA" "$out/errors.log"; then
    exit 1
fi
