#!/usr/bin/env bash
# Runs the test game in a real X window (Xvfb) with the SDL backend, photographs the X
# display while the game shows its "Loading ..." frame, and looks for that frame's pixels
# in the photograph. Exit 77 (skipped) where Xvfb or ImageMagick is missing.
set -euo pipefail
game=$1
find_frame=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for tool in xvfb-run import; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done

cd "$out"
# The X libraries that SDL opens and closes at run time leave allocations that leak reports
# cannot name (the library is gone by then); memory errors are still caught.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
xvfb-run -a -s "-screen 0 800x600x24" \
    env KIV_PLATFORM=sdl SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software \
    KIV_TEST_XSHOT="$out/screen.png" KIV_TEST_END_IN_LOAD=1 \
    KIV_LOCK_FILE="$out/kiv.lock" \
    "$game" --scale=1 --screenshot="$out/frame.png" | tee "$out/game.log"

grep -q "load Title" "$out/game.log"
grep -q "exit code 0" "$out/game.log"
test -s "$out/screen.png"
test -s "$out/frame.png"
"$find_frame" "$out/screen.png" "$out/frame.png"
