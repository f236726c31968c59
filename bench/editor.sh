#!/usr/bin/env bash
# Figures for the line editor: the processor time that a 5-second time-out
# wait of tests/editdemo uses on a real terminal (natively and, when built,
# under Wine), and what one typed character costs on a long text.
#   bash bench/editor.sh        (uses the builds under $BUILD_PREFIX or build/)
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_PREFIX=${BUILD_PREFIX:-$ROOT/build}
. "$ROOT/tests/wine-env.sh"

WORK=$(mktemp -d)
RUNS=0
TMUX_CMD=(tmux -L "bench-$$" -f /dev/null)
trap '"${TMUX_CMD[@]}" kill-server >/dev/null 2>&1; rm -rf "$WORK"' EXIT

# cpu_of SECONDS COMMAND...: "user sys" processor seconds of editdemo left
# alone with a time-out of SECONDS in a terminal of its own.
cpu_of() {
    local seconds=$1 i
    shift
    rm -f "$WORK/cpu"
    printf '%s\n' "TIMEFORMAT='%U %S'" "{ time $* -t $seconds -p '> ' hello >/dev/null; } 2>'$WORK/cpu.tmp'" \
        "mv '$WORK/cpu.tmp' '$WORK/cpu'" "sleep 60" >"$WORK/run.sh"
    # A server of its own for each run: a new session must not meet the
    # last one's server on its way out.
    "${TMUX_CMD[@]}" kill-server >/dev/null 2>&1
    RUNS=$((RUNS + 1))
    TMUX_CMD=(tmux -L "bench-$$-$RUNS" -f /dev/null)
    "${TMUX_CMD[@]}" new-session -d -x 80 -y 24 "bash '$WORK/run.sh'"
    for ((i = 0; i < (seconds + 30) * 10; i++)); do
        [ -f "$WORK/cpu" ] && break
        sleep 0.1
    done
    cat "$WORK/cpu" 2>/dev/null || echo "? ?"
}

# report NAME COMMAND...: the 5-second wait, and for comparison the same
# program with a 1-second wait (mostly its start and end).
report() {
    local name=$1
    shift
    read -r user5 sys5 <<<"$(cpu_of 5 "$@")"
    read -r user1 sys1 <<<"$(cpu_of 1 "$@")"
    awk -v n="$name" -v u5="$user5" -v s5="$sys5" -v u1="$user1" -v s1="$sys1" 'BEGIN {
        printf "%-7s 5 s time-out wait: %.3f s processor time (user %.3f, system %.3f)\n", n, u5 + s5, u5, s5
        printf "%-7s 1 s time-out wait: %.3f s processor time (user %.3f, system %.3f)\n", n, u1 + s1, u1, s1
    }'
}

NATIVE=$BUILD_PREFIX/release
if [ -x "$NATIVE/tests/editdemo" ]; then
    report native "$NATIVE/tests/editdemo"
else
    echo "native: no build at $NATIVE"
fi

WIN=$BUILD_PREFIX/win64/tests/editdemo.exe
if [ -f "$WIN" ]; then
    [ -d "$WINEPREFIX" ] || timeout 300 "$WINE64" wineboot --init >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1
    timeout 60 "$WINE64" cmd /c exit 0 >/dev/null 2>&1
    report win64 "$WINE64" "$WIN"
    echo "        (the program's own process; Wine's server process is not counted)"
fi

if [ -x "$NATIVE/bench/editor_bytes" ]; then
    "$NATIVE/bench/editor_bytes"
fi
