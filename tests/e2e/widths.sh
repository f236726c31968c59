#!/usr/bin/env bash
# Widths as terminals draw them: Thai, Lao, Devanagari, Bengali, Tamil and
# Hangul typed, moved over, deleted and written in fillin, in tmux and in
# GNU screen, with the screen and cursor checked after each step; the
# terminal's own widths (emoji sequences included) held against the
# program's in tmux, GNU screen, xterm and mlterm.
# targets: posix (the Windows console works in its code page)
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
# wait_file FILE: true once the file is there (screen may take a moment).
wait_file() {
    local i
    for ((i = 0; i < 200; i++)); do
        [ -f "$1" ] && return 0
        sleep 0.05
    done
    return 1
}
written() { wait_file "$OUT"; value; }

# ---- name : characters, split by "|" : their widths, split by ","
# Each value is followed by "abcdef", moved over, edited (the characters
# typed and deleted around "d") and written.
while IFS=: read -r name split widths; do
    [ -z "$name" ] && continue
    IFS='|' read -r -a chars <<<"$split"
    IFS=',' read -r -a cells <<<"$widths"
    text=${split//|/} first=${chars[0]} total=0
    for w in "${cells[@]}"; do total=$((total + w)); done
    for term in tmux screen; do
        t="$term, $name"
        rm -f "$OUT"
        run_in "$term" "X='${text}abcdef' $FILLIN -v X -f '$OUT' -p '>'"
        wait_for ">" 10; sleep 0.3
        check "$t: shown" ">${text}abcdef" "$(row1)"
        keys Home
        x=1
        for ((i = 0; i < ${#chars[@]}; i++)); do
            x=$((x + cells[i]))
            keys Right
            check_cursor "$t: Right over ${chars[i]}" "$x 0"
        done
        keys End Left Left Left BSpace BSpace
        check "$t: Backspace twice before d" ">${text}adef" "$(row1)"
        check_cursor "$t: cursor on d" "$((2 + total)) 0"
        literal "$first"
        check "$t: $first typed" ">${text}a${first}def" "$(row1)"
        check_cursor "$t: cursor on d again" "$((2 + total + cells[0])) 0"
        keys Left Left DC
        check "$t: Del removes a" ">${text}${first}def" "$(row1)"
        check_cursor "$t: cursor on $first" "$((1 + total)) 0"
        keys Enter
        check "$t: written" "${text}${first}def" "$(written)"
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
# widths TERMINAL: the characters whose widths differ, or "ok".
widths() {
    wait_file "$WORK/widths-$1" || { echo missing; return; }
    awk '$2 != $3 { print; bad = 1 } END { if (!bad) print "ok" }' "$WORK/widths-$1"
}
for term in tmux screen; do
    run_in "$term" "$WIDTHCHECK '$WORK/widths-$term'"
    check "$term: the terminal's widths are the program's" ok "$(widths "$term")"
done
# in_x TERMINAL COMMAND...: runs the terminal under a virtual X server of
# its own; the terminal ends with the program.
in_x() {
    local display xvfb
    for display in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    wait_file "/tmp/.X11-unix/X$display"
    DISPLAY=":$display" timeout 30 "$@" 2>/dev/null
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null
}
if command -v xterm >/dev/null && command -v Xvfb >/dev/null; then
    in_x xterm -u8 -geometry 80x24 -e "$WIDTHCHECK" "$WORK/widths-xterm"
    check "xterm: the terminal's widths are the program's" ok "$(widths xterm)"
else
    check "xterm and Xvfb installed (tests/install-deps.sh)" yes no
fi

# ---- mlterm draws 👨‍👩‍👧 in 8 cells and the vowel signs ि and ी in none:
# its widths, and an edit over both, with the screen as mlterm shows it
# (its snapshot command writes the rows' text to ~/.mlterm). The keys are
# put into the terminal's input by TIOCSTI from inside it, once fillin has
# switched it to raw mode.
if command -v mlterm >/dev/null && command -v Xvfb >/dev/null; then
    export HOME=$WORK/home  # mlterm's settings and snapshots
    mkdir -p "$HOME"
    in_x mlterm -geometry 80x24+0+0 -e "$WIDTHCHECK" "$WORK/widths-mlterm"
    check "mlterm: the terminal's widths are the program's" ok "$(widths mlterm)"

    family=$'\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7'
    cat >"$WORK/type.pl" <<'PERL'
open(my $tty, "+<", "/dev/tty") or exit 1;
for my $c (split //, $ARGV[0]) { ioctl($tty, 0x5412, $c) or exit 2; }
PERL
    # End, Left, Left, Backspace; Home, Right, x; Enter.
    cat >"$WORK/edit.sh" <<EDIT
(until stty -a </dev/tty | grep -q -- -icanon; do sleep 0.05; done; perl '$WORK/type.pl' \$'\\e[4~\\e[D\\e[D\\x7f\\e[1~\\e[Cx\\r'; echo \$? >'$WORK/typed') &
X='$family हिन्दी ok' $FILLIN -v X -f '$OUT' -p '>'
sleep 0.5
printf '\\033]5379;snapshot\\007'
sleep 0.5
EDIT
    rm -f "$OUT"
    in_x mlterm -geometry 80x24+0+0 -e bash "$WORK/edit.sh"
    if [ "$(cat "$WORK/typed" 2>/dev/null)" = 2 ]; then
        echo "mlterm: the edit skipped (this system lets no program type into a terminal: TIOCSTI)"
    else
        check "mlterm: edited over an emoji sequence and spacing marks" "${family}x हिन्दीok" "$(value)"
        shown=$(cat "$HOME"/.mlterm/*.snp 2>/dev/null | sed -n 1p)
        check "mlterm: the screen shows what was edited" ">${family}x हिन्दीok" "$shown"
    fi
else
    check "mlterm and Xvfb installed (tests/install-deps.sh)" yes no
fi
finish
