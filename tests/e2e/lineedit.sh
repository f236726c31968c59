#!/usr/bin/env bash
# The line editor on a real console, through tests/editdemo in tmux: a field
# that wraps at the right edge, the editing keys, the time-out, Esc and
# Ctrl+C, checking the screen, the cursor and the printed result.
. "$(dirname "$0")/lib.sh"

INJECT="$RUN $BIN/tests/inject$EXE"
winpath() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }

# row N: the screen's row N (1-based) without trailing blanks.
row() { screen | sed -n "${1}p" | sed 's/ *$//'; }

# settle "X Y" ROW TEXT: waits until the cursor stands at X Y (0-based) and
# row ROW shows TEXT; the console shows changes a little later under Wine.
settle() {
    local i
    for ((i = 0; i < 60; i++)); do
        [ "$(cursor)" == "$1" ] && [ "$(row "$2")" == "$3" ] && return 0
        sleep 0.05
    done
    return 1
}
# step NAME "X Y" ROW TEXT: checks the cursor and one row after some keys.
step() {
    settle "$2" "$3" "$4"
    check "$1: row $3" "$4" "$(row "$3")"
    check "$1: cursor" "$2" "$(cursor)"
}

# Wine's console takes tmux's Home and End only in this form.
home() { if $IS_WINDOWS; then hex 1b 5b 48; else keys Home; fi; }
end() { if $IS_WINDOWS; then hex 1b 5b 46; else keys End; fi; }

# ---- A field that wraps: a 30-cell prompt and 16 characters in 40 columns.
prompt="Edit the line below, please: >"
start 40 10 "$EDITDEMO -p '$prompt' 'hello world edit'"
wait_for "$prompt" 20
step "the text after the prompt, wrapped" "6 1" 1 "${prompt}hello worl"
check "the field's second row" "d edit" "$(row 2)"
home
step "Home: the first character" "30 0" 1 "${prompt}hello worl"
end
step "End: after the last character" "6 1" 2 "d edit"
keys Left Left Left Left Left Left
step "Left to column 1 of the second row" "0 1" 2 "d edit"
keys Left
step "Left from column 1: the last column of the row above" "39 0" 1 "${prompt}hello worl"
keys Right X
step "typing inserts and moves the rest across the edge" "1 1" 2 "Xd edit"
keys DC
step "Del removes the character under the cursor" "1 1" 2 "X edit"
keys BSpace
step "Backspace removes the character before it" "0 1" 2 " edit"
keys C-Left
step "Ctrl+Left: the start of the word" "36 0" 1 "${prompt}hello worl"
keys C-Left C-Left
step "Ctrl+Left twice more: the field's start" "30 0" 1 "${prompt}hello worl"
keys C-Right
step "Ctrl+Right: the next word" "36 0" 1 "${prompt}hello worl"
keys Enter
check "Enter: exit code 0" 0 "$(wait_exit 10)"
check "Enter: the result on the next line" "result=1 text=[hello worl edit]" "$(row 3)"

# ---- The same field starting on the bottom row: writing it scrolls the
# screen, and the cursor moves follow the text up.
start 40 4 "printf '1\r\n2\r\n3\r\n'; $EDITDEMO -p '$prompt' 'hello world edit'"
wait_for "$prompt" 20
step "bottom row: the field scrolls the screen" "6 3" 3 "${prompt}hello worl"
home
step "bottom row: Home on the row above" "30 2" 3 "${prompt}hello worl"
end
keys Left Left Left Left Left Left Left
step "bottom row: Left into the last column" "39 2" 4 "d edit"
keys Enter
check "bottom row: exit code" 0 "$(wait_exit 10)"
check "bottom row: the text stays above the result" "${prompt}hello worl|d edit|result=1 text=[hello world edit]" \
    "$(row 1)|$(row 2)|$(row 3)"

# ---- Overtype, the limit and upper case.
start 40 10 "$EDITDEMO -o -b -u -l 4 -p '> ' ab"
wait_for "> AB" 20
step "upper-cased start text, cursor on its first character" "2 0" 1 "> AB"
keys x y z w v
step "overtype up to the limit; more is refused" "6 0" 1 "> XYZW"
keys Enter
check "overtype: exit code" 0 "$(wait_exit 10)"
check "overtype: result" "result=1 text=[XYZW]" "$(row 2)"

# ---- The time-out accepts the starting text; a key cancels it.
start 40 10 "$EDITDEMO -t 2 -u -p '> ' hello"
wait_for "> HELLO" 20
began=$(date +%s.%N)
wait_for "result=" 10
waited=$(awk -v a="$began" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
check "time-out: the prepared text" "result=1 text=[HELLO]" "$(row 2)"
check "time-out: after about 2 seconds" yes "$(awk -v w="$waited" 'BEGIN { print (w > 1.5 && w < 4) ? "yes" : "no (" w " s)" }')"
check "time-out: exit code 0" 0 "$(wait_exit 10)"

start 40 10 "$EDITDEMO -t 2 -p '> ' hello"
wait_for "> hello" 20
keys x
sleep 2.5
check "a key before the time-out: no time limit any more" "> hellox" "$(screen_text)"
keys Enter
check "a key before the time-out: exit code" 0 "$(wait_exit 10)"
check "a key before the time-out: result" "result=1 text=[hellox]" "$(row 2)"

# ---- Esc and Ctrl+C. Wine's console delivers neither from a terminal as a
# key (Esc comes without its character, Ctrl+C as a signal), so on Windows
# the inject helper writes the exact key events into the console.
if $IS_WINDOWS; then
    editdemo_win=$(winpath "$BIN/tests/editdemo$EXE")
    left="d,25,4b,0,0 u,25,4b,0,0"
    right="d,27,4d,0,0 u,27,4d,0,0"
    homekey="d,24,47,0,0 u,24,47,0,0"
    escape="d,1b,01,1b,0 u,1b,01,1b,0"
    enter="d,d,1c,d,0 u,d,1c,d,0"
    ctrl_c="d,11,1d,0,8 d,43,2e,3,8 u,43,2e,3,8 u,11,1d,0,0"
    start 40 10 "$INJECT $left $escape d,58,2d,78,0 u,58,2d,78,0 $enter -- '$editdemo_win' -p '> ' abcdef"
    check "Esc: exit code" 0 "$(wait_exit 20)"
    check "Esc blanks the old cells" "> x" "$(row 1)"
    check "Esc: result" "result=1 text=[x]" "$(row 2)"

    start 40 10 "$INJECT $homekey $right $right $ctrl_c -- '$editdemo_win' -p '> ' abcdef"
    check "Ctrl+C: exit code" 1 "$(wait_exit 20)"
else
    start 40 10 "$EDITDEMO -p '> ' abcdef"
    wait_for "> abcdef" 20
    keys Left Escape
    step "Esc blanks the old cells, the cursor at the start" "2 0" 1 ">"
    keys x Enter
    check "Esc: exit code" 0 "$(wait_exit 10)"
    check "Esc: result" "result=1 text=[x]" "$(row 2)"

    start 40 10 "$EDITDEMO -p '> ' abcdef"
    wait_for "> abcdef" 20
    home
    keys Right Right C-c
    check "Ctrl+C: exit code" 1 "$(wait_exit 10)"
fi
check "Ctrl+C: \"^C\" over the two cells at the cursor" "> ab^Cef" "$(row 1)"
check "Ctrl+C: result 0 and an empty text" "result=0 text=[]" "$(row 2)"

finish
