#!/usr/bin/env bash
# kivc -> kivdump -> kivc on a game's description: the dump compiles back to the same bytes.
#   data-roundtrip.sh KIVC KIVDUMP GAME.json ART_FOLDER
set -euo pipefail
kivc=$1
kivdump=$2
game=$3
art=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$kivc" "$game" -o "$out/first" --art "$art"
name=$(cd "$out/first" && ls *.kiv)
"$kivdump" "$out/first/$name" > "$out/dump.json"
"$kivc" "$out/dump.json" -o "$out/second"
diff -r "$out/first" "$out/second"
echo "same bytes: $(cd "$out/first" && ls | tr '\n' ' ')"
