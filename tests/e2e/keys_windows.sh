#!/usr/bin/env bash
# Key codes, the cursor and output redirection on the Windows console, under
# Wine. Keys a terminal cannot deliver are written into the console's input
# buffer by the inject helper.
# targets: windows (Windows console only)
. "$(dirname "$0")/lib.sh"

INJECT="$RUN $BIN/tests/inject$EXE"
# The Windows name of a file of ours (Wine shows / as drive Z:).
winpath() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
KEYCODES_WIN=$(winpath "$BIN/tests/keycodes$EXE")

# row N: the screen's row N (1-based) without trailing blanks.
row() { screen | sed -n "${1}p" | sed 's/ *$//'; }
wait_row() {
    local i
    for ((i = 0; i < 100; i++)); do
        [ "$(row "$1")" == "$2" ] && return 0
        sleep 0.05
    done
    return 1
}

# wait_cursor "X Y": Wine's console shows cursor moves on the terminal a
# little later.
wait_cursor() {
    local i
    for ((i = 0; i < 100; i++)); do
        [ "$(cursor)" == "$1" ] && return 0
        sleep 0.05
    done
    return 1
}

# ---- Keys from the terminal: one line per key, "ready" on row 1.
start 80 30 "$KEYCODES"
wait_for ready 20
line=2
while IFS='|' read -r name send expected; do
    case $send in
    hex:*) hex ${send#hex:} ;;
    *) keys "$send" ;;
    esac
    wait_row $line "$expected"
    check "$name" "$expected" "$(row $line)"
    line=$((line + 1))
done <<'KEYS'
Up|Up|0 72
Down|Down|0 80
Left|Left|0 75
Right|Right|0 77
Ctrl+Up|C-Up|0 141
Ctrl+Down|C-Down|0 145
Ctrl+Left|C-Left|0 115
Ctrl+Right|C-Right|0 116
Home|hex:1b 5b 48|0 71
End|hex:1b 5b 46|0 79
Ctrl+Home|C-Home|0 119
F1|F1|0 59
Shift+F1|S-F1|0 84
F11|F11|0 133
Alt+X|M-x|0 45
Alt+1|M-1|0 120
letter|a|97
KEYS

read -r x y <<<"$(cursor)"
keys '?'
wait_row $((y + 1)) "63 at $((x + 1)),$((y + 1))"
check "WhereX/WhereY agree with the terminal's cursor" "63 at $((x + 1)),$((y + 1))" "$(row $((y + 1)))"
keys '@'
wait_for "64 moved"
check "GotoXY(5,3) writes from column 5 of row 3" "64 moved 5,3" "$(row 3 | cut -c5-)"
wait_cursor "0 3"
check "the cursor stands after that line" "0 3" "$(cursor)"
keys Enter Enter
check "two Enters end keycodes" 0 "$(wait_exit 10)"

# ---- Standard output redirected inside Windows: keys and the cursor still
# work on the console, the text goes to the file.
start 80 24 "$RUN cmd /c '$KEYCODES_WIN > $(winpath "$WORK/out.txt")'"
for ((i = 0; i < 200; i++)); do
    [ -s "$WORK/out.txt" ] && break
    sleep 0.05
done
read -r x y <<<"$(cursor)"
keys a '?' '@'
wait_cursor "4 2"
check "GotoXY moves the console's cursor with output in a file" "4 2" "$(cursor)"
check "no text on the console" "" "$(screen_text)"
keys Enter Enter
check "redirected keycodes exit code" 0 "$(wait_exit 10)"
check "redirected text in the file" \
    "ready|97|63 at $((x + 1)),$((y + 1))|64 moved 5,3|13|13|" "$(tr '\r\n' '~|' <"$WORK/out.txt" | sed 's/~|/|/g')"

# ---- No console at all: no key will come, ReadKey ends as Ctrl+C.
setsid timeout 20 $KEYCODES </dev/null >"$WORK/none.txt" 2>/dev/null
check "no console: exit code of Ctrl+C" 255 "$?"
check "no console: Ctrl+C as the key" "ready|3|" "$(tr '\r\n' '~|' <"$WORK/none.txt" | sed 's/~|/|/g')"
setsid timeout 20 $KEYCODES </dev/null >&- 2>/dev/null
check "no console, no standard output: still ends as Ctrl+C" 255 "$?"
setsid timeout 20 $KEYCODES </dev/null >/dev/full 2>/dev/null
check "standard output on a full disk: runtime error 101" 101 "$?"

# ---- Exact key events (VK,SCAN,CHAR,STATE in hex) through the inject helper.
escape="d,1b,01,1b,0 u,1b,01,1b,0"
keypad_slash="d,6f,35,2f,100 u,6f,35,2f,100"
altgr_e="d,11,1d,0,9 d,12,38,0,9 d,45,12,80,9 u,45,12,80,9"
alt_65="d,12,38,0,2 d,66,4d,0,22 u,66,4d,0,22 d,65,4c,0,22 u,65,4c,0,22 u,12,38,41,20"
alt_300="d,12,38,0,2 d,63,51,0,22 u,63,51,0,22 d,60,52,0,22 u,60,52,0,22 d,60,52,0,22 u,60,52,0,22 u,12,38,2c,20"
keypad_enter="d,d,1c,d,120 u,d,1c,d,120"
ctrl_c="d,11,1d,0,8 d,43,2e,3,8"
start 80 24 "$INJECT $escape f $keypad_slash $altgr_e $alt_65 $alt_300 $keypad_enter $ctrl_c \
    -- '$KEYCODES_WIN' > '$WORK/inject.txt'"
check "Ctrl+C as a key ends keycodes with 255 (no control event)" 255 "$(wait_exit 20)"
check "injected keys: Escape, keypad slash, AltGr, Alt+65, Alt+300, keypad Enter, Ctrl+C" \
    "ready|27|0 53|128|65|44|13|3|input mode restored|" "$(tr '\r\n' '~|' <"$WORK/inject.txt" | sed 's/~|/|/g')"

finish
