#!/usr/bin/env bash
# Figures for pickit and fillin on a POSIX terminal, as one table:
#   (a) start-up and exit of "-h" against a C program that writes one line,
#       built with the same compiler settings (median of many runs, in turn);
#   (b) processor time that a time-out wait of 10 seconds costs, without
#       and with the count-down (-c);
#   (c) bytes sent to the terminal for one key typed at the end and at the
#       start of a 2,000-character line;
#   (d) peak resident memory while the program waits for a key;
#   (e) time from start to fillin's prompt being shown when the terminal
#       answers the cursor query 300 ms late (tests/ptyrelay);
#   (f) time from start to fillin's field being shown in tmux, with an
#       ASCII value and with one holding an emoji sequence, whose width the
#       terminal is asked first, and the cursor queries each sent.
# A figure that cannot be taken prints "n/a".
#   bash bench/run.sh        (builds the release tree under $BUILD_PREFIX or build/)
# ROUNDS=50 TIMEOUT=3 bash bench/run.sh gives a quick, rougher table.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_PREFIX=${BUILD_PREFIX:-$ROOT/build}
REL=$BUILD_PREFIX/release
ROUNDS=${ROUNDS:-300}
TIMEOUT=${TIMEOUT:-10}

cd "$ROOT" || exit 1
cmake --preset release -B "$REL" >/dev/null &&
    cmake --build "$REL" -j2 --target pickit fillin baseline startup editor_bytes ptyrelay >/dev/null ||
    { echo "bench: the release build failed"; exit 1; }
PICKIT=$REL/pickit/pickit
FILLIN=$REL/fillin/fillin

WORK=$(mktemp -d)
PANES=0
TMUX_CMD=(true)
trap '"${TMUX_CMD[@]}" kill-server >/dev/null 2>&1; rm -rf "$WORK"' EXIT

# pane WIDTH HEIGHT SCRIPT: a fresh terminal of that size runs the script;
# each on a tmux server of its own, so that one closing cannot race the next.
pane() {
    "${TMUX_CMD[@]}" kill-server >/dev/null 2>&1
    PANES=$((PANES + 1))
    TMUX_CMD=(tmux -L "bench-run-$$-$PANES" -f /dev/null)
    "${TMUX_CMD[@]}" new-session -d -s b -x "$1" -y "$2" "bash '$3'; sleep 600"
    "${TMUX_CMD[@]}" set-option -g escape-time 0 >/dev/null
}
# wait_file FILE SECONDS: true once the file exists.
wait_file() {
    local i
    for ((i = 0; i < $2 * 10; i++)); do
        [ -f "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# ---- (a) Start-up: medians in microseconds, the commands taken in turn.
STARTUP="$REL/bench/startup $ROUNDS $REL/bench/baseline '$PICKIT -h' '$FILLIN -h'"
# Without a terminal (a new session has none): the programs' own cost.
read -r -d '' c_alone p_alone f_alone < <(setsid -w bash -c "$STARTUP" </dev/null 2>/dev/null)
# In a terminal: the console set-up opens it and switches it to raw mode.
echo "$STARTUP >'$WORK/in_tty.tmp'; mv '$WORK/in_tty.tmp' '$WORK/in_tty'" >"$WORK/startup.sh"
pane 80 24 "$WORK/startup.sh"
wait_file "$WORK/in_tty" 300
read -r -d '' c_tty p_tty f_tty < <(cat "$WORK/in_tty" 2>/dev/null)

# ---- (b) and (d): one time-out wait per program in a terminal of its own.
# wait_run NAME SECONDS COMMAND: VmHWM (KiB) read a second into the wait;
# with SECONDS > 0 also the processor time of the whole run (ms) and its
# wall time (s), once the command has ended by its time-out. The figures
# land in HWM, CPU and WALL under NAME.
declare -A HWM CPU WALL
wait_run() {
    local name=$1 seconds=$2 command=$3 child='' hwm=n/a cpu=n/a wall=n/a user sys
    rm -f "$WORK/cpu" "$WORK/pid"
    printf '%s\n' 'echo $$ >'"'$WORK/pid'" "cd '$WORK'" "TIMEFORMAT='%3U %3S %3R'" \
        "{ time $command; } 2>'$WORK/cpu.tmp'" "mv '$WORK/cpu.tmp' '$WORK/cpu'" >"$WORK/wait.sh"
    pane 80 24 "$WORK/wait.sh"
    wait_file "$WORK/pid" 10 && sleep 1
    [ -f "$WORK/pid" ] && child=$(pgrep -P "$(cat "$WORK/pid")" | head -1)
    [ -n "$child" ] && hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$child/status" 2>/dev/null)
    if [ "$seconds" -gt 0 ] && wait_file "$WORK/cpu" $((seconds + 20)); then
        read -r user sys wall <"$WORK/cpu"
        cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.0f", (u + s) * 1000 }')
        # A run that ended early did not wait: its figure means nothing.
        awk -v w="$wall" -v t="$seconds" 'BEGIN { exit !(w < t * 0.9) }' && cpu=n/a
    fi
    CPU[$name]=$cpu WALL[$name]=$wall HWM[$name]=${hwm:-n/a}
}
wait_run pickit "$TIMEOUT" "'$PICKIT' -t Y,$TIMEOUT"
wait_run fillin "$TIMEOUT" "X=hello '$FILLIN' -v X -f out.bat -t $TIMEOUT"
wait_run pickit_c "$TIMEOUT" "'$PICKIT' -c -t Y,$TIMEOUT"
wait_run fillin_c "$TIMEOUT" "X=hello '$FILLIN' -v X -f out.bat -c -t $TIMEOUT"
# The C program waits in pause() until its pane is closed.
wait_run baseline 0 "'$REL/bench/baseline' wait"

# ---- (c) Bytes per typed key on a 2,000-character line, as the terminal
# gets them (tmux hands the pane's output to a pipe), and as the line editor
# alone writes them (bench/editor_bytes, on the virtual console).
# typed_bytes FILE KEY...: the bytes that reach the terminal while the keys
# are typed.
typed_bytes() {
    local file=$1
    shift
    "${TMUX_CMD[@]}" pipe-pane -O -t b "cat >'$file'"
    sleep 0.3
    "${TMUX_CMD[@]}" send-keys -t b "$@"
    sleep 0.7
    "${TMUX_CMD[@]}" pipe-pane -t b
    sleep 0.2
    { wc -c <"$file"; } 2>/dev/null || echo n/a
}
printf '%s\n' "cd '$WORK'" "export X=$(printf 'a%.0s' $(seq 2000))" \
    "'$FILLIN' -v X -f long.bat -p '> '" >"$WORK/long.sh"
pane 200 50 "$WORK/long.sh"
sleep 1.5
end_bytes=$(typed_bytes "$WORK/end.bytes" -l x)
"${TMUX_CMD[@]}" send-keys -t b Home
sleep 0.5
start_bytes=$(typed_bytes "$WORK/start.bytes" -l x)
"${TMUX_CMD[@]}" send-keys -t b C-c 2>/dev/null
# Sanity: the line must have been there to type on.
"${TMUX_CMD[@]}" capture-pane -p -t b -J 2>/dev/null | grep -q "aaaaaaaaaa" || { end_bytes=n/a; start_bytes=n/a; }

editor=$("$REL/bench/editor_bytes" 2>/dev/null)
# editor_figure SCRIPT WHERE: bytes for one key of that script ("ASCII", "CJK").
editor_figure() {
    awk -v s="$1" -v w="$2" '$1 ~ "^" s && $0 ~ "typed at the " w && /bytes,/ {
        for (i = 1; i < NF; i++) if ($(i + 1) == "bytes,") print $i }' <<<"$editor"
}
ed_end=$(editor_figure ASCII end)
ed_start=$(editor_figure ASCII start)
cjk_end=$(editor_figure CJK end)
cjk_start=$(editor_figure CJK start)

# ---- (e) The prompt with a slow terminal: the query goes out with the
# prompt, which never waits for the answer. Medians of five runs, with the
# answer 300 ms late and with no delay.
prompt_ms() {
    local delay=$1 i times=()
    for i in 1 2 3 4 5; do
        rm -f "$WORK/q" "$WORK/q.ms"
        printf '%s\n' "cd '$WORK'" "'$REL/tests/ptyrelay' $delay q sh -c \"X=a '$FILLIN' -v x -f o.bat -t 1 -p Name:\"" >"$WORK/slow.sh"
        pane 80 24 "$WORK/slow.sh"
        wait_file "$WORK/q.ms" 10 && times+=("$(cat "$WORK/q.ms")")
    done
    printf '%s\n' "${times[@]:-n/a}" | sort -n | sed -n 3p
}
prompt_late=$(prompt_ms 300)
prompt_now=$(prompt_ms 0)

# ---- (f) Start to the field in tmux: the last output before the program
# waits (ptyrelay, no delay, which also counts the queries); medians of
# seven runs.
field_ms() {
    local value=$1 i times=()
    for i in 1 2 3 4 5 6 7; do
        rm -f "$WORK/f" "$WORK/f.settled"
        printf '%s\n' "cd '$WORK'" "export LC_ALL=C.UTF-8 X='$value'" \
            "'$REL/tests/ptyrelay' 0 f '$FILLIN' -v X -f o.sh -t 1 -p Name:" >"$WORK/field.sh"
        pane 80 24 "$WORK/field.sh"
        wait_file "$WORK/f.settled" 10 && times+=("$(cat "$WORK/f.settled")")
    done
    field_queries=$(cat "$WORK/f" 2>/dev/null || echo n/a)
    field_median=$(printf '%s\n' "${times[@]:-n/a}" | sort -n | sed -n 4p)
}
field_ms hello
field_ascii=$field_median ascii_queries=$field_queries
field_ms 'a👨‍👩‍👧b'
field_emoji=$field_median emoji_queries=$field_queries

# ---- The table.
ms() { awk -v u="${1:-}" 'BEGIN { if (u == "" || u == "n/a") print "n/a"; else printf "%.2f ms", u / 1000 }'; }
ratio() { awk -v a="${1:-}" -v b="${2:-}" 'BEGIN { if (a == "" || b == "" || b == 0) print "n/a"; else printf "%.2fx", a / b }'; }
kib() { awk -v k="${1:-}" 'BEGIN { if (k == "" || k == "n/a") print "n/a"; else printf "%.2f MiB", k / 1024 }'; }
unit() { [ "${1:-n/a}" = n/a ] && echo n/a || echo "$1 $2"; }
row() { printf '%-46s %-11s %-11s %s\n' "$@"; }

echo
echo "pickit and fillin, release build, $(uname -sm), $(date -u +%Y-%m-%d)"
row "figure" "pickit" "fillin" "target"
row "(a) -h start-up and exit, no terminal" "$(ms "$p_alone")" "$(ms "$f_alone")" ""
row "    C program writing one line" "$(ms "$c_alone")" "$(ms "$c_alone")" ""
row "    ratio" "$(ratio "$p_alone" "$c_alone")" "$(ratio "$f_alone" "$c_alone")" "<= 1.2x"
row "(a) -h start-up and exit, in a terminal" "$(ms "$p_tty")" "$(ms "$f_tty")" ""
row "    C program writing one line" "$(ms "$c_tty")" "$(ms "$c_tty")" ""
row "    ratio" "$(ratio "$p_tty" "$c_tty")" "$(ratio "$f_tty" "$c_tty")" "<= 1.2x"
row "(b) processor time, ${TIMEOUT} s time-out wait" "$(unit "${CPU[pickit]}" ms)" "$(unit "${CPU[fillin]}" ms)" "< 20 ms per 10 s"
row "    with the count-down (-c)" "$(unit "${CPU[pickit_c]}" ms)" "$(unit "${CPU[fillin_c]}" ms)" "< 20 ms per 10 s"
row "(c) bytes per key, end of 2000-char line" "-" "$(unit "$end_bytes" B)" ""
row "    line editor alone (editor_bytes)" "-" "$(unit "${ed_end:-n/a}" B)" ""
row "(c) bytes per key, start of 2000-char line" "-" "$(unit "$start_bytes" B)" ""
row "    line editor alone (editor_bytes)" "-" "$(unit "${ed_start:-n/a}" B)" ""
row "    CJK on UTF-8, end / start (editor_bytes)" "-" "$(unit "${cjk_end:-n/a}" B) / $(unit "${cjk_start:-n/a}" B)" "end: one character's bytes"
row "(d) peak resident memory while waiting" "$(kib "${HWM[pickit]}")" "$(kib "${HWM[fillin]}")" "< 2 MiB"
row "    C program waiting" "$(kib "${HWM[baseline]}")" "$(kib "${HWM[baseline]}")" ""
row "(e) start to prompt, answer 300 ms late" "-" "$(unit "${prompt_late:-n/a}" ms)" "start-up, not 300 ms"
row "    with no delay" "-" "$(unit "${prompt_now:-n/a}" ms)" ""
row "(f) start to field in tmux, ASCII value" "-" "$(unit "${field_ascii:-n/a}" ms)" "queries: $ascii_queries"
row "    with an emoji sequence in the value" "-" "$(unit "${field_emoji:-n/a}" ms)" "queries: $emoji_queries"
echo
echo "(a) medians of $ROUNDS runs each, taken in turn; (b) user + system time of"
echo "the whole run (wall: pickit ${WALL[pickit]} s, fillin ${WALL[fillin]} s); (c) what tmux"
echo "received from the program for one typed key; (d) VmHWM a second into the wait."
