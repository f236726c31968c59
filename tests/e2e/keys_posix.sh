#!/usr/bin/env bash
# The POSIX terminal console through tests/keycodes in tmux: key sequences,
# a lone Esc, raw mode put back on every way out, redirections, UTF-8, the
# cursor kept in step with the terminal, and life without a terminal.
# targets: posix (POSIX terminals only)
. "$(dirname "$0")/lib.sh"

OUT=$WORK/out.txt

# line N of the output file, without its CR, once it has been written.
out_line() {
    local n=$1 i
    for ((i = 0; i < 60; i++)); do
        [ -f "$OUT" ] && [ "$(wc -l <"$OUT")" -ge "$n" ] && break
        sleep 0.05
    done
    sed -n "${n}p" "$OUT" 2>/dev/null | tr -d '\r'
}

# The last line on the screen that is not blank.
last_line() { screen | sed 's/ *$//' | grep -v '^$' | tail -1; }

# wait_changed LINE: waits (up to 3 s) until the last line is another.
wait_changed() {
    local i
    for ((i = 0; i < 60; i++)); do
        [ "$(last_line)" != "$1" ] && return
        sleep 0.05
    done
}

# The pid of the program the pane's shell is running.
program_pid() { pgrep -P "$("${TMUX_CMD[@]}" display-message -p -t t '#{pane_pid}')" | head -1; }

pane_tty() { "${TMUX_CMD[@]}" display-message -p -t t '#{pane_tty}'; }

# ---- Keys as tmux sends them, and other terminals' forms sent as bytes.
rm -f "$OUT"
start 80 24 "$KEYCODES > '$OUT'"
check "ready" ready "$(out_line 1)"
n=1
while read -r how key expected; do
    case $how in
    key) keys "$key" ;;
    hex) hex ${key//,/ } ;;
    esac
    n=$((n + 1))
    check "$how $key gives $expected" "$expected" "$(out_line $n)"
done <<'KEYS'
key Up 0 72
key C-Left 0 115
key C-Home 0 119
key S-F1 0 84
key F11 0 133
key M-x 0 45
key DC 0 83
key Escape 27
key Home 0 71
key End 0 79
key IC 0 82
key PPage 0 73
key NPage 0 81
key F1 0 59
key F5 0 63
key F12 0 134
key C-Right 0 116
key C-End 0 117
key C-DC 0 147
key S-F5 0 88
key M-1 0 120
key BSpace 8
key C-h 8
key Tab 9
key C-z 26
key Enter 13
key a 97
hex 1b,5b,48 0 71
hex 1b,4f,46 0 79
hex 1b,5b,37,7e 0 71
hex 1b,5b,38,7e 0 79
hex 1b,5b,5b,41 0 59
hex 1b,5b,31,3b,32,52 0 86
hex 1b,5b,39,39,7e,62 98
hex 08 8
hex 1b,0d 13
hex 1b,09 0 15
hex 1b,7f 0 253
hex 1b,08 0 253
key C-w 0 253
key M-b 0 115
hex 1b,03 0 46
hex 1b,c3,a9,61 97
hex 1b,4f,64 0 115
hex 1b,4f,63 0 116
hex 1b,4f,61 0 141
hex 1b,4f,62 0 145
hex 1b,5b,61 0 72
hex 1b,5b,62 0 80
hex 1b,5b,63 0 77
hex 1b,5b,64 0 75
hex 1b,5b,35,44 0 115
hex 1b,5b,35,43 0 116
hex 1b,5b,35,41 0 141
hex 1b,5b,35,42 0 145
KEYS

# A lone Esc is a key of its own, and the key after it stays one too.
keys Escape
check "Esc then a: Esc" 27 "$(out_line $((n + 1)))"
keys a
check "Esc then a: a" 97 "$(out_line $((n + 2)))"

# Raw mode while it runs.
settings=$(stty -a -F "$(pane_tty)" | tr "\n" " ")
for flag in -isig -icanon -echo -iexten -ixon -icrnl; do
    case " $settings " in *[\ \;]${flag}[\ \;]*) got=$flag ;; *) got="not $flag" ;; esac
    check "raw mode: $flag" "$flag" "$got"
done
keys C-c
check "Ctrl+C gives 3" 3 "$(out_line $((n + 3)))"
check "Ctrl+C exits 255" 255 "$(wait_exit)"

# ---- Terminal settings put back: normal exit, SIGTERM, SIGHUP, SIGINT.
for how in exit TERM HUP INT; do
    rm -f "$WORK/before" "$WORK/after" "$WORK/rc2"
    start 80 24 "stty -g > before; $KEYCODES; echo exit=\$? > rc2; stty -g > after"
    wait_for ready
    if [ $how = exit ]; then
        keys C-c
    else
        kill -s $how "$(program_pid)"
    fi
    wait_exit >/dev/null
    case $how in exit) code=255 ;; TERM) code=143 ;; HUP) code=129 ;; INT) code=130 ;; esac
    check "settings back after $how" "$(cat "$WORK/before")" "$(cat "$WORK/after" 2>&1)"
    check "exit code after $how" "exit=$code" "$(cat "$WORK/rc2" 2>&1)"
done

# ---- A stop sent to the pane's process group, which has no job control
# (orphaned): the stop is discarded, and keys must still come raw.
start 80 24 "$KEYCODES"
wait_for ready
kill -s TSTP "$(program_pid)"
sleep 0.3
settings=$(stty -a -F "$(pane_tty)" | tr "\n" " ")
case " $settings " in *[\ \;]-icanon[\ \;]*) got=raw ;; *) got=cooked ;; esac
check "after a discarded stop: still raw" raw "$got"
keys d
wait_for 100 3
check "after a discarded stop: a key is read at once" 100 "$(last_line)"
keys C-c
check "after a discarded stop: Ctrl+C exits 255" 255 "$(wait_exit)"

# ---- Keys come from the terminal whatever standard input is.
start 80 24 "$KEYCODES < /dev/null"
wait_for ready
keys b
wait_for 98 3
check "stdin from /dev/null: key read" 98 "$(last_line)"
keys C-c
wait_exit >/dev/null

# ---- Text to a file with standard output redirected; the cursor stays
# where the file's text never went.
rm -f "$OUT"
start 80 24 "$KEYCODES > '$OUT'"
out_line 1 >/dev/null
keys c '?' C-c
wait_exit >/dev/null
check "stdout to a file" $'ready\n99\n63 at 1,1\n3' "$(cat "$OUT")"
check "nothing on the screen" "" "$(screen_text)"

# ---- UTF-8 (also in the C locale): a typed é is its two bytes, handed on
# whole; where the locale names a single-byte codeset, bytes are bytes.
for locale in C.UTF-8 C; do
    start 80 24 "LC_ALL=$locale $KEYCODES"
    wait_for ready
    literal "é"
    wait_for 169 3
    check "é in the $locale locale" $'195\n169' "$(screen_text | tail -2)"
    keys C-c
    wait_exit >/dev/null
done
start 80 24 "LC_ALL=de_DE.ISO-8859-1 $KEYCODES"
wait_for ready
hex e9
wait_for 233 3
check "byte E9 in an ISO-8859-1 locale" 233 "$(last_line)"
keys C-c
wait_exit >/dev/null

if [ -x "$BIN/tests/editdemo" ]; then
    start 80 24 "$EDITDEMO -p 'Name: ' caf"
    wait_for "Name: caf"
    literal "é"
    wait_for "café" 2
    check "é echoed" "Name: café" "$(screen_text | head -1)"
    check "cursor after é" "10 0" "$(cursor)"
    keys Enter
    wait_exit >/dev/null
    check "é in the result" "result=1 text=[café]" "$(screen_text | sed -n 2p)"
fi

# ---- A line that fills the last column leaves the cursor in column 1 of
# the next row, then the line end adds a row (as a screen buffer does).
start 5 10 "$KEYCODES"
wait_for ready
check "cursor after a full row" "0 2" "$(cursor)"
keys '?'
wait_for "1,3" 3
check "model agrees" $'ready\n\n63 at\n 1,3' "$(screen_text)"
keys C-c
wait_exit >/dev/null

# ---- "?" agrees with tmux's cursor, also once the screen has scrolled.
start 30 6 "$KEYCODES"
wait_for ready
for round in 1 2 3 4 5 6; do
    read -r x y <<<"$(cursor)"
    before=$(last_line)
    keys '?'
    wait_changed "$before"
    check "? in round $round" "63 at $((x + 1)),$((y + 1))" "$(last_line)"
    before=$(last_line)
    keys x
    wait_changed "$before"
done
keys C-c
wait_exit >/dev/null

# ---- "@" moves the cursor to column 5 of row 3.
start 30 10 "$KEYCODES"
wait_for ready
keys '@'
wait_for moved 3
check "@ moves to 5,3" "    64 moved 5,3" "$(screen | sed -n 3p | sed 's/ *$//')"
check "cursor after @" "0 3" "$(cursor)"
keys C-c
wait_exit >/dev/null

# ---- No terminal at all: ends at once as on Ctrl+C.
began=$SECONDS
rm -f "$OUT"
timeout 10 setsid -w $KEYCODES </dev/null >"$OUT" 2>&1
check "no terminal: exit code" 255 "$?"
check "no terminal: output" $'ready\n3' "$(cat "$OUT")"
check "no terminal: quick" yes "$([ $((SECONDS - began)) -le 3 ] && echo yes || echo no)"

# ---- The terminal hangs up while it waits (SIGHUP ignored, as under
# nohup): no spin, and it ends as on Ctrl+C.
rm -f "$OUT"
start 80 24 "trap '' HUP; $KEYCODES > '$OUT'"
out_line 1 >/dev/null
pid=$(program_pid)
"${TMUX_CMD[@]}" kill-server
for ((i = 0; i < 60; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
check "hang-up: program ended" gone "$(kill -0 "$pid" 2>/dev/null && echo running || echo gone)"
check "hang-up: ended as Ctrl+C" 3 "$(out_line 2)"
finish
