#!/usr/bin/env bash
# Runs the game-data fuzz target once over systematically damaged copies of a game's data
# files (cut short, bit flips, stamped values, splices): none may crash, hang or trip a
# sanitizer. What fails is kept in the current folder as damaged-crash-*, damaged-timeout-*...
#   damaged-data.sh FUZZER DAMAGE_DATA DATA_FOLDER
set -euo pipefail
fuzzer=$1
damage=$2
data=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/files"
# The fuzz target's first byte chooses the reader: 0 a game file, 1 a level file.
for file in "$data"/*; do
    case "$file" in
    *.lvl) reader='\001' ;;
    *) reader='\000' ;;
    esac
    { printf "$reader"; cat "$file"; } > "$work/files/$(basename "$file")"
done
"$damage" "$work/damaged" "$work/files"/*
"$fuzzer" -runs=0 -timeout=30 -rss_limit_mb=3072 -close_fd_mask=3 \
    -artifact_prefix="$PWD/damaged-" "$work/damaged" 2>&1 | tail -n 3
