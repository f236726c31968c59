#!/usr/bin/env bash
# How long a lone Esc takes to come through as a key, next to a plain key:
# runs tests/keycodes (release build) in tmux with its output to a file and
# times each key from send-keys until its line is in the file. The
# difference is the wait for the rest of a possible escape sequence.
#   bash bench/esc_latency.sh [rounds]     (BUILD_PREFIX as for the tests)
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
KEYCODES=${BUILD_PREFIX:-$ROOT/build}/release/tests/keycodes
ROUNDS=${1:-20}
[ -x "$KEYCODES" ] || { echo "build the release preset first ($KEYCODES)"; exit 1; }
WORK=$(mktemp -d)
TMUX_CMD=(tmux -L "bench-$$" -f /dev/null)
trap '"${TMUX_CMD[@]}" kill-server >/dev/null 2>&1; rm -rf "$WORK"' EXIT

"${TMUX_CMD[@]}" new-session -d -s b -x 80 -y 24 "$KEYCODES > '$WORK/out'; sleep 60"
"${TMUX_CMD[@]}" set-option -g escape-time 0 >/dev/null

lines() { local all; mapfile -t all <"$WORK/out"; echo ${#all[@]}; }
micros() { local t=$EPOCHREALTIME; echo $((10#${t/./})); }

for ((i = 0; i < 100 && $(lines) < 1; i++)); do sleep 0.05; done

# time_key KEY: microseconds from sending the key to its line in the file.
time_key() {
    local before start now all
    before=$(lines)
    start=$(micros)
    "${TMUX_CMD[@]}" send-keys -t b "$1"
    for ((;;)); do
        mapfile -t all <"$WORK/out"
        [ ${#all[@]} -gt "$before" ] && break
        now=$(micros)
        [ $((now - start)) -gt 2000000 ] && { echo 2000000; return; }
    done
    now=$(micros)
    echo $((now - start))
}

median_ms() { sort -n | awk '{v[NR] = $1} END {printf "%.1f", v[int((NR + 1) / 2)] / 1000}'; }

esc=()
plain=()
for ((r = 0; r < ROUNDS; r++)); do
    esc+=("$(time_key Escape)")
    sleep 0.1
    plain+=("$(time_key a)")
    sleep 0.1
done
e=$(printf '%s\n' "${esc[@]}" | median_ms)
p=$(printf '%s\n' "${plain[@]}" | median_ms)
echo "rounds: $ROUNDS"
echo "Esc key, send-keys to delivered: median $e ms"
echo "plain key, send-keys to delivered: median $p ms"
echo "Esc's own delay: $(awk -v e="$e" -v p="$p" 'BEGIN {printf "%.1f", e - p}') ms"
