#!/usr/bin/env bash
# Installs the built package, moves the installed tree elsewhere, and builds games against it
# as a user would: the minimal example with CMake (Ninja and Makefiles) and with pkg-config,
# and a game that embeds its compiled data (kiv_add_game_data with kiv_embed_resources).
# Each game then runs headless.
#   package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cmake --install "$build" --prefix "$out/installed" >/dev/null
mv "$out/installed" "$out/prefix" # the package must not depend on where it was installed
prefix="$out/prefix"
example="$prefix/share/kivcore/examples/minimal"
export KIV_LOCK_FILE="$out/kiv.lock" KIV_PLATFORM=headless

# Plays the minimal game's tour: the hero walks right and down, and the run ends cleanly.
play_minimal() {
    (cd "$out" && "$1" --input="$example/tour.input" --screenshot="$out/last.png") >"$out/said"
    grep -qx "hero at 272, 152" "$out/said"
    test -s "$out/last.png"
    rm "$out/last.png"
}

for generator in Ninja "Unix Makefiles"; do
    dir="$out/${generator// /-}"
    cmake -S "$example" -B "$dir/minimal" -G "$generator" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$dir/minimal" >/dev/null
    play_minimal "$dir/minimal/minimal"

    cmake -S "$source/tests/package" -B "$dir/embedded" -G "$generator" \
        -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$dir/embedded" >/dev/null
    rm -r "$dir/embedded/Data" # what the game reads must come from its resources
    (cd "$out" && "$dir/embedded/embedded" --frames=3) | grep -qx "level Only, note: embedded beside the game data"
    echo "$generator: built and played"
done

# pkg-config, as the guide shows it.
pc=$(dirname "$(find "$prefix" -name kivcore.pc)")
mkdir "$out/pc"
cp -r "$example/Art Assets" "$out/pc/"
"$prefix/bin/kivc" "$example/minimal.json" -o "$out/pc/Data" --strict
g++ -std=c++20 "$example/Minimal.cpp" -o "$out/pc/minimal" \
    $(PKG_CONFIG_PATH="$pc" pkg-config --cflags --libs kivcore)
play_minimal "$out/pc/minimal"
echo "pkg-config: built and played"
