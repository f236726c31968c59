#!/usr/bin/env bash
# Widths as terminals draw them: Thai, Lao, Devanagari, Bengali, Tamil and
# Hangul typed, moved over, deleted and written in fillin, in tmux and in
# GNU screen, with the screen and cursor checked after each step; the
# terminal's own widths (emoji sequences included) held against the
# program's in tmux, GNU screen and xterm.
case ${1:-native} in
win*) echo "${1}: skipped (the Windows console works in its code page)"; exit 0 ;;
esac
export LC_ALL=C.UTF-8
. "$(dirname "$0")/lib.sh"

OUT=$WORK/out.sh
WIDTHCHECK=$BIN/tests/widthcheck
export SCREENDIR=$WORK/screens
mkdir -m 700 "$SCREENDIR"

# The value fillin wrote, or "missing".
value() { [ -f "$OUT" ] && sed -e "s/^export X='//" -e "s/'\$//" "$OUT" || echo missing; }
row1() { screen | sed -n 1p | sed 's/ *$//'; }
# run_in TERMINAL COMMAND: a fresh pane runs the command in tmux, or in GNU
# screen inside tmux.
run_in() {
    if [ "$1" = tmux ]; then
        start 80 24 "$2"
    else
        start 80 24 "screen -U -c /dev/null -q sh -c \"$2\""
    fi
}
# The file, once the program has ended (screen may take a moment).
written() {
    local i
    for ((i = 0; i < 100; i++)); do
        [ -f "$OUT" ] && break
        sleep 0.05
    done
    value
}

# ---- name : characters, split by "|" : their widths, split by ","
while IFS=: read -r name split widths; do
    [ -z "$name" ] && continue
    IFS='|' read -r -a chars <<<"$split"
    IFS=',' read -r -a cells <<<"$widths"
    text=${split//|/}
    n=${#chars[@]}
    total=0
    for w in "${cells[@]}"; do total=$((total + w)); done
    for term in tmux screen; do
        t="$term, $name"
        rm -f "$OUT"
        run_in "$term" "X= $FILLIN -v X -f '$OUT' -p '>'"
        wait_for ">" 10; sleep 0.3
        literal "a"; literal "$text"; literal "z"
        wait_for "z" 5
        check "$t: typed" ">a${text}z" "$(row1)"
        check_cursor "$t: cursor after z" "$((3 + total)) 0"
        keys Home
        # Right over each character: the cursor lands on the next one.
        x=2
        for ((i = 0; i < n; i++)); do
            keys Right
            check_cursor "$t: Right onto ${chars[i]}" "$x 0"
            x=$((x + cells[i]))
        done
        # Backspace takes the character before the last one, Del the last.
        keys End Left Left BSpace
        rest=("${chars[@]:0:n-2}" "${chars[n-1]}")
        shown=$(printf '%s' "${rest[@]}")
        check "$t: Backspace removes ${chars[n-2]}" ">a${shown}z" "$(row1)"
        check_cursor "$t: cursor on ${chars[n-1]}" "$((2 + total - cells[n-1] - cells[n-2])) 0"
        keys DC
        shown=$(printf '%s' "${chars[@]:0:n-2}")
        check "$t: Del removes ${chars[n-1]}" ">a${shown}z" "$(row1)"
        check_cursor "$t: cursor on z" "$((2 + total - cells[n-1] - cells[n-2])) 0"
        keys Enter
        check "$t: written" "a${shown}z" "$(written)"

        # The value given, edited as one would: Left three times, onto
        # "d", and Backspace twice; what follows is shown again in place.
        rm -f "$OUT"
        run_in "$term" "X='${text}abcdef' $FILLIN -v X -f '$OUT' -p '>'"
        wait_for ">" 10; sleep 0.3
        keys Left Left Left BSpace BSpace
        check "$t: the value edited" ">${text}adef" "$(row1)"
        check_cursor "$t: cursor on d" "$((2 + total)) 0"
        keys Enter
        check "$t: the value written" "${text}adef" "$(written)"
    done
done <<'CASES'
Thai:น้ำ|ทำ|ก:2,2,1
Lao:ນ້ຳ|ກ|ສ:2,1,1
Devanagari:हि|न्|दी:2,1,2
Bengali:কি|ম|ল:2,1,1
Tamil:கை|ம|ல:2,1,1
Hangul:한|국|어:2,2,2
Hangul jamo:한|글:2,2
CASES

# ---- The terminal's widths against the program's, emoji sequences of
# every kind included (the program learns them first, as the editor does).
# widthcheck TERMINAL: each line that differs, or "ok".
check_widths() {
    local term=$1 file=$WORK/widths-$1
    if [ ! -s "$file" ]; then
        check "$term: widths measured" measured missing
        return
    fi
    check "$term: the terminal's widths are the program's" ok \
        "$(awk '$2 != $3 { print; bad = 1 } END { if (!bad) print "ok" }' "$file")"
}
rm -f "$WORK"/widths-*
run_in tmux "$WIDTHCHECK '$WORK/widths-tmux'"
wait_exit 20 >/dev/null
check_widths tmux
run_in screen "$WIDTHCHECK '$WORK/widths-screen'"
for ((i = 0; i < 200; i++)); do
    [ -s "$WORK/widths-screen" ] && break
    sleep 0.05
done
sleep 0.5
check_widths screen
if command -v xterm >/dev/null && command -v Xvfb >/dev/null; then
    # A display of its own; xterm ends with the program.
    for display in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for ((i = 0; i < 100; i++)); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.05
    done
    DISPLAY=":$display" timeout 30 xterm -u8 -geometry 80x24 -e "$WIDTHCHECK" "$WORK/widths-xterm" 2>/dev/null
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null
    check_widths xterm
else
    check "xterm and Xvfb installed (tests/install-deps.sh)" yes no
fi
finish
