#!/usr/bin/env bash
# Runs PLAYERS copies of the network test game headless on the loopback: the first hosts the
# session, the others join it; each plays its own input script.
#   step: after 1,000 frames of play, every copy has shown the same back buffer (FNV-1a)
#         frame by frame, and the frames were not all alike.
#   kill: the last copy is killed in the middle of the session; every other copy shows the
#         message that it resigned and reaches the fallback level within 10 seconds.
#   full: once the session plays, one more copy tries to join: it is told that the session
#         is full and goes to the fallback level, while the others play on to 1,000 frames.
#   late: a level that needs 2 players and takes 3; the third copy joins once the other two
#         have played a while, replays what it missed, and all three show the same 1,000
#         frames.
set -euo pipefail
game=$1
players=$2
mode=$3
out=$(mktemp -d)
pids=()
trap 'kill -9 "${pids[@]}" 2>/dev/null || true; rm -rf "$out"' EXIT
cd "$out"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
level=Duel
[ "$players" = 4 ] && level=Melee
[ "$mode" = late ] && level=Trio
if [ "$mode" != kill ]; then
    export KIV_NET_FRAMES=1000
    [ "$mode" = full ] && export KIV_NET_HOLD="$out/turned-away"
    # The late player may take a while to start on a busy machine: the others play on until
    # it plays too, and a copy whose peers ended a frame before it leaves from the lobby.
    [ "$mode" = late ] && export KIV_NET_HOLD="$out/joined" KIV_NET_QUIT_IN_LOBBY=1
else
    export KIV_NET_QUIT_IN_LOBBY=1
fi

# Each player holds the arrow keys in a rhythm of its own.
keys=(RIGHT DOWN LEFT UP)
for i in $(seq 1 $((players + 1))); do
    for f in $(seq $((3 * i)) $((5 + i)) 6000); do
        k=${keys[$(((f / (5 + i) + i) % 4))]}
        echo "$f key $k down"
        echo "$((f + 2)) key $k up"
    done >"in$i"
done

start() { # start <player> <session option>
    KIV_LOCK_FILE="$out/lock$1" KIV_NET_LEVEL=$level "$game" --headless --input="in$1" \
        --player="p$1" --frame-hashes="h$1" --log="log$1" "$2" >"out$1" 2>"err$1" &
    pids[$1]=$!
}

start 1 --host="$port"
for _ in $(seq 1 100); do # until the host listens
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done
joining=$players
[ "$mode" = late ] && joining=$((players - 1))
for i in $(seq 2 "$joining"); do
    start "$i" --join="localhost:$port"
done

# Waits for a copy to end, at most `seconds`; false when it is still running then.
ends_within() { # ends_within <player> <seconds>
    for _ in $(seq 1 $(($2 * 10))); do
        kill -0 "${pids[$1]}" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

show() {
    for i in $(seq 1 "$players"); do
        echo "== player $i: $(wc -l <"h$i" 2>/dev/null || echo 0) frames played"
        cat "out$i" "err$i"
    done
}

if [ "$mode" = late ]; then
    for _ in $(seq 1 300); do # until the session has played a while
        [ -f h1 ] && [ "$(wc -l <h1)" -ge 100 ] && break
        sleep 0.1
    done
    start "$players" --join="localhost:$port"
    for _ in $(seq 1 600); do # until it plays
        [ -s "h$players" ] && break
        sleep 0.1
    done
    touch "$out/joined"
fi

if [ "$mode" = full ]; then
    for _ in $(seq 1 300); do # until the session has played a while
        [ -f h1 ] && [ "$(wc -l <h1)" -ge 100 ] && break
        sleep 0.1
    done
    extra=$((players + 1))
    # The session plays on until the extra player has been turned away.
    KIV_NET_QUIT_IN_LOBBY=1 start "$extra" --join="localhost:$port"
    ends_within "$extra" 20 || { echo "the extra player still runs"; exit 1; }
    grep -q "\[Reply\] Sorry, the session is full." "err$extra" || { echo "no message"; cat "err$extra"; exit 1; }
    grep -qx "load Lobby" "out$extra" || { echo "no fallback level"; cat "out$extra"; exit 1; }
    touch "$out/turned-away"
fi

if [ "$mode" != kill ]; then
    for i in $(seq 1 "$players"); do
        ends_within "$i" 150 || { echo "player $i did not finish"; show; exit 1; }
        wait "${pids[$i]}" || { echo "player $i failed"; show; exit 1; }
    done
    for i in $(seq 1 "$players"); do
        [ "$(wc -l <"h$i")" -ge 1000 ] || { echo "player $i played too few frames"; show; exit 1; }
        head -n 1000 "h$i" >"first$i"
        cmp "first1" "first$i" || { echo "player $i shows other frames"; diff first1 "first$i" | head; exit 1; }
    done
    distinct=$(cut -d' ' -f2 first1 | sort -u | wc -l)
    [ "$distinct" -gt 20 ] || { echo "only $distinct different frames: the heroes did not move"; exit 1; }
    echo "$players players, 1000 frames alike ($distinct different frames)"
    exit 0
fi

victim=$players
for _ in $(seq 1 600); do # until the session has played a while
    [ -f "h$victim" ] && [ "$(wc -l <"h$victim")" -ge 300 ] && break
    sleep 0.1
done
[ "$(wc -l <"h$victim")" -ge 300 ] || { echo "the session did not start"; show; exit 1; }
kill -9 "${pids[$victim]}"
for i in $(seq 1 $((players - 1))); do
    ends_within "$i" 10 || { echo "player $i still runs 10 seconds after the kill"; show; exit 1; }
    grep -q "Player 'p$victim' has resigned." "err$i" || { echo "player $i: no message"; show; exit 1; }
    grep -qx "load Lobby" "out$i" || { echo "player $i: no fallback level"; show; exit 1; }
done
echo "$((players - 1)) players reached the lobby after player $victim died"
