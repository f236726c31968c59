#!/usr/bin/env bash
# The POSIX terminal's habits around the programs: a terminal that answers
# the cursor query late (a slow link, through tests/ptyrelay), a stop and
# fg in an interactive shell, and a window resized while fillin edits.
# targets: posix (POSIX terminals only)
. "$(dirname "$0")/lib.sh"

RELAY=$BIN/tests/ptyrelay
OUT=$WORK/out.bat
row() { screen | sed -n "${1}p" | sed 's/ *$//'; }
last_row() { screen | sed 's/ *$//' | grep -v '^$' | tail -1; }

# ---- A terminal that answers 1.5 s late: nothing of the answer is left in
# the shell's input afterwards, pickit never asks, and keys typed while the
# answer is on its way are kept.
# name | command | the screen's rows from the program's on | queries sent
while IFS='|' read -r name command shown queries; do
    [ -z "$name" ] && continue
    rm -f "$OUT" "$WORK/queries"
    start 80 12 "$RELAY 1500 '$WORK/queries' bash -c '$command; printf after:; read -t 2 x; echo \"[\$x]\"'"
    for ((i = 0; i < 200; i++)); do [ -s "$WORK/queries" ] && break; sleep 0.05; done
    check "$name: nothing left for the shell" "$shown" "$(screen_text | paste -sd/)"
    check "$name: queries" "$queries" "$(cat "$WORK/queries" 2>/dev/null)"
    [ "$queries" = 1 ] && check "$name: file" "SET X=hi" "$(tr -d '\r\n' <"$OUT" 2>/dev/null)"
done <<CASES
fillin, time-out before the answer|X=hi $FILLIN -v x -f $OUT -t 1 -p Name:|Name:hi/after:[]|1
pickit, single key|$PICKIT -t Y,1|[Y,N] Y/after:[]|0
pickit, usage text|$PICKIT -h > /dev/null|after:[]|0
fillin, error message|$FILLIN -v x > /dev/null 2>&1|after:[]|0
CASES

# ---- A terminal that stops reading (its tmux stopped, its output already
# full) while pickit writes: SIGTERM still ends it at once.
printf '%s\n' "echo \$\$ >pid; while [ ! -e go ]; do sleep 0.1; done" \
    "head -c 300000 /dev/zero | tr '\\0' x | dd bs=1 2>/dev/null & sleep 1; exec $PICKIT" >"$WORK/stuck.sh"
rm -f "$WORK/pid" "$WORK/go"
start 80 12 "sh stuck.sh"
for ((i = 0; i < 100; i++)); do [ -s "$WORK/pid" ] && break; sleep 0.1; done
server=$("${TMUX_CMD[@]}" display-message -p '#{pid}')
kill -STOP "$server"
touch "$WORK/go"
sleep 2
pid=$(<"$WORK/pid")
kill -TERM "$pid"
# Ended, its exit taken once the terminal reads again.
for ((i = 0; i < 30; i++)); do
    state=$(ps -o stat= -p "$pid")
    [[ $state == Z* || -z $state ]] && break
    sleep 0.1
done
kill -CONT "$server"
check "a terminal that does not read: SIGTERM ends pickit at once" ended "$([[ $state == Z* || -z $state ]] && echo ended || echo "$state")"
check "a terminal that does not read: exit code" 143 "$(wait_exit 10)"

# ---- Stopped and continued in an interactive shell: the terminal is the
# shell's while stopped, and the prompt and field come back with the
# cursor in place.
shell="env -i TERM=screen HOME=$WORK PATH=/usr/bin:/bin LC_ALL=C.UTF-8 PS1='$ ' bash --norc --noprofile -i"
rm -f "$OUT"
start 60 15 "$shell"
wait_for '$' 10
keys "stty -g > before" Enter
keys "X=hello $FILLIN -v x -f $OUT -p 'Name: '" Enter
wait_for "Name: hello" 10
keys Left Left
sleep 0.2
pid=$(pgrep -f -- "-f $OUT -p")
kill -s TSTP "$pid"
wait_for "Stopped" 10
keys "stty -g > during" Enter
sleep 0.3
check "stopped: the terminal is as the shell left it" "$(cat "$WORK/before")" "$(cat "$WORK/during" 2>&1)"
keys fg Enter
wait_for "fg" 5
sleep 0.5
check "continued: the field again on the last row" "Name: hello" "$(last_row)"
check_cursor "continued: the cursor on the same character" "9 $(($(screen | sed 's/ *$//' | grep -n . | tail -1 | cut -d: -f1) - 1))"
keys X Enter
wait_for '$' 5
check "continued: typing edits the field" "SET X=helXlo" "$(tr -d '\r\n' <"$OUT" 2>/dev/null)"
keys "stty -g > after" Enter
sleep 0.3
check "continued: the terminal back as found" "$(cat "$WORK/before")" "$(cat "$WORK/after" 2>&1)"

# ---- Resized while a wrapped field is edited: the field is shown again
# at the new width, with the cursor on its character.
value=abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ
rm -f "$OUT"
start 40 12 "X=$value $FILLIN -v x -f '$OUT' -p 'Value: '"
"${TMUX_CMD[@]}" set-option -g window-size manual >/dev/null
wait_for "JKL" 1
wait_for "IJ" 10
keys Left Left Left
for width in 30 60; do
    "${TMUX_CMD[@]}" resize-window -t t -x $width
    sleep 0.6
    # The last drawing: the prompt and field from their first row on.
    shown=$(screen | sed 's/ *$//' | grep -v '^$' | awk '/^Value: /{text=""} {text=text $0} END{print text}')
    check "width $width: the field shown whole" "Value: $value" "$shown"
    read -r x y <<<"$(cursor)"
    cell=$(( (y - $(screen | grep -n '^Value: ' | tail -1 | cut -d: -f1) + 1) * width + x ))
    check "width $width: cursor on G" $((7 + ${#value} - 3)) "$cell"
done
keys Z Enter
check "resized: exit code" 0 "$(wait_exit 10)"
check "resized: file" "SET X=abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGZHIJ" "$(tr -d '\r\n' <"$OUT")"
# ---- A field longer than the window: the part around the cursor is
# shown, and typing shows where it lands.
value=$(for i in $(seq 195); do printf abcdefghij; done)
rm -f "$OUT"
start 80 24 "X=$value $FILLIN -v x -f '$OUT' -p 'N: '"
wait_for "hij" 10
sleep 0.5
check_cursor "long field: cursor after the text" "33 23"
keys X
check "long field: typed at the end shows there" "${value: -33}X" "$(row 24)"
keys Home
check "long field: Home shows the first row" "N: abcdefghijabcdefghij" "$(row 1 | cut -c1-23)"
check_cursor "long field: cursor on the first character" "3 0"
keys Y
check "long field: typed at the start shows there" "N: Yabcdefghij" "$(row 1 | cut -c1-14)"
check_cursor "long field: cursor after it" "4 0"
keys Enter
check "long field: exit code" 0 "$(wait_exit 10)"
check "long field: file" "SET X=Y${value}X" "$(tr -d '\r\n' <"$OUT")"
finish
