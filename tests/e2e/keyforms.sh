#!/usr/bin/env bash
# Keys as terminals send them in the wild, through fillin and tests/keycodes:
# Alt with Enter, Tab and other keys, Backspace as ^H or DEL whatever stty
# says, rxvt's modified arrows and editing keys, st's editing keys, Ctrl+J,
# terminals' answers that must type nothing, and the keys as GNU screen
# passes them on from an rxvt-like terminal.
# targets: posix (POSIX terminals only)
. "$(dirname "$0")/lib.sh"

OUT=$WORK/out.bat
CODES=$WORK/codes.txt

# bytes FILE: the file's bytes in hex, or "missing".
bytes() { if [ -f "$1" ]; then od -An -tx1 "$1" | tr -s ' \n' ' '; else echo missing; fi; }

# type_all KEY...: h:1b,0d sends bytes, l:text types text, others are
# tmux key names.
type_all() {
    local key
    for key in "$@"; do
        case $key in
        h:*) key=${key#h:}; hex ${key//,/ } ;;
        l:*) literal "${key#l:}" ;;
        *) keys "$key" ;;
        esac
    done
}

# expect NAME CODE FILE EXITCODE: exit code and out.bat (printf %b escapes,
# or "missing").
expect() {
    check "$1: exit code" "$2" "$4"
    local want=missing
    [ "$3" != missing ] && want=$(printf '%b' "$3" | od -An -tx1 | tr -s ' \n' ' ')
    check "$1: file" "$want" "$(bytes "$OUT")"
}

# ---- fillin: name | environment | shell set-up | keys | exit code | file.
while IFS='|' read -r name env setup keylist code file; do
    [ -z "$name" ] && continue
    rm -f "$OUT"
    start 80 24 "$setup $env $FILLIN -v x -f out.bat -p 'N: '"
    wait_for "N: " 5
    read -ra list <<<"$keylist"
    type_all "${list[@]}"
    expect "$name" "$code" "$file" "$(wait_exit 15)"
done <<'CASES'
Alt+Enter keeps the value and ends|X=hello||h:1b,0d|0|SET X=hello\r\n
Alt+Tab leaves the value|X=hello||h:1b,09 Enter|0|SET X=hello\r\n
Alt+Backspace deletes the word before|X='ab cd'||h:1b,7f Enter|0|SET X=ab \r\n
Ctrl+W deletes the word before|X='ab cd'||h:17 Enter|0|SET X=ab \r\n
Ctrl+A, Ctrl+F, Ctrl+K keep the first|X=hello||h:01 h:06 h:0b Enter|0|SET X=h\r\n
Ctrl+E, Ctrl+B, Ctrl+D delete the last|X=hello||h:01 h:05 h:02 h:04 Enter|0|SET X=hell\r\n
Alt+B, Alt+D delete the word after|X='ab cd'||h:1b,62 h:1b,64 Enter|0|SET X=ab \r\n
Ctrl+U still restores|X=hello||h:17 l:x h:15 Enter|0|SET X=hello\r\n
Alt+Ctrl+C does not abort|X=hello||h:1b,03 Enter|0|SET X=hello\r\n
Alt+é types nothing|X=hello||h:1b,c3,a9 Enter|0|SET X=hello\r\n
^H erases|X=hello||h:08 Enter|0|SET X=hell\r\n
DEL erases|X=hello||h:7f Enter|0|SET X=hell\r\n
both erase with stty erase ^H|X=hello|stty erase ^H;|h:08 h:7f Enter|0|SET X=hel\r\n
a lone Esc still clears|X=hello||Escape Enter|2|missing
rxvt Ctrl+Left is a word left|X='ab cd'||h:1b,4f,64 l:x Enter|0|SET X=ab xcd\r\n
ESC [ 5 D is a word left|X='ab cd'||h:1b,5b,35,44 l:x Enter|0|SET X=ab xcd\r\n
rxvt Shift+Left is a character left|X=ab||h:1b,5b,64 l:x Enter|0|SET X=axb\r\n
rxvt Ctrl+Home deletes to the start|X=hello||Left Left h:1b,5b,37,5e Enter|0|SET X=lo\r\n
st Del deletes|X=hello||Home h:1b,5b,50 Enter|0|SET X=ello\r\n
Ctrl+J accepts|X=hello||l:x h:0a|0|SET X=hellox\r\n
an OSC answer in two reads types nothing|X=abc||h:1b,5d,31,31 h:3b,72,67,62,3a,30,2f,30,2f,30,07 Enter|0|SET X=abc\r\n
CASES

# ---- A late answer during pickit's time-out (1 s into 3 s) is no key: the
# time-out still chooses, and nothing is left for the shell after it.
while IFS='|' read -r name args answer code echoed; do
    [ -z "$name" ] && continue
    start 80 24 "$PICKIT $args; r=\$?; read -t 1 x; echo \"after:[\$x]\"; (exit \$r)"
    wait_for "${echoed% *}" 5  # the prompt
    sleep 1
    read -ra answer_bytes <<<"$answer"
    hex "${answer_bytes[@]}"
    check "$name: exit code" "$code" "$(wait_exit 15)"
    check "$name: echo" "$echoed" "$(screen | grep -vF after: | grep -F '] ' | sed 's/ *$//')"
    check "$name: nothing for the shell" "after:[]" "$(screen | grep -F after: | sed 's/ *$//')"
done <<'CASES'
an OSC 11 answer|-k qgx -t q,3|1b 5d 31 31 3b 72 67 62 3a 30 30 30 30 2f 30 30 30 30 2f 30 30 30 30 1b 5c|1|[Q,G,X] Q
a cursor report at row 12|-k yn -t n,3|1b 5b 31 32 3b 34 30 52|2|[Y,N] N
CASES

# ---- GNU screen between tmux and the program, told that its terminal is
# rxvt: it turns rxvt's Home and End (ESC [ 7 ~, ESC [ 8 ~) into its own
# (ESC [ 1 ~, ESC [ 4 ~), sends the arrows as ESC O A.. once the
# application cursor mode is on, and passes the rest on as it gets them.
export SCREENDIR=$WORK/screens
mkdir -m 700 "$SCREENDIR"
# in_screen COMMAND: a fresh pane runs the command inside screen; the
# command's exit code lands in $WORK/rc.
in_screen() {
    printf '%s\n' "printf '\\033[?1h'" "$1" "echo \$? > '$WORK/screen-rc'" >"$WORK/inner.sh"
    rm -f "$WORK/screen-rc"
    start 80 24 "TERM=rxvt-unicode screen -c /dev/null -q sh '$WORK/inner.sh'"
}
screen_exit() {
    local i
    for ((i = 0; i < 200; i++)); do
        [ -s "$WORK/screen-rc" ] && break
        sleep 0.05
    done
    cat "$WORK/screen-rc" 2>/dev/null || echo hung
}
# line N of the codes file once it is there (screen may take a moment).
code_line() {
    local n=$1 i
    for ((i = 0; i < 200; i++)); do
        [ -f "$CODES" ] && [ "$(wc -l <"$CODES")" -ge "$n" ] && break
        sleep 0.05
    done
    sed -n "${n}p" "$CODES" 2>/dev/null | tr -d '\r'
}

rm -f "$CODES"
in_screen "$KEYCODES > '$CODES'"
check "screen: keycodes ready" ready "$(code_line 1)"
n=1
while read -r key expected; do
    type_all "$key"
    n=$((n + 1))
    check "screen: $key gives $expected" "$expected" "$(code_line $n)"
done <<'KEYS'
Up 0 72
Left 0 75
h:1b,5b,37,7e 0 71
h:1b,5b,38,7e 0 79
DC 0 83
BSpace 8
h:08 8
h:1b,4f,64 0 115
h:1b,5b,61 0 72
h:1b,0d 13
KEYS
keys C-c
check "screen: Ctrl+C gives 3" 3 "$(code_line $((n + 1)))"
check "screen: Ctrl+C exits 255" 255 "$(screen_exit)"

rm -f "$OUT"
in_screen "X=hello $FILLIN -v x -f '$OUT' -p 'N: '"
wait_for "N: hello" 10
type_all h:1b,5b,37,7e l:x h:1b,5b,38,7e BSpace h:08 Left l:y h:1b,0d
expect "screen: fillin with Home, End, both Backspaces, Left, Alt+Enter" 0 'SET X=xheyl\r\n' "$(screen_exit)"
finish
