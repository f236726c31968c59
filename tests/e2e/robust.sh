#!/usr/bin/env bash
# The POSIX terminal under strain: every signal that ends the programs puts
# the terminal back and leaves no answer for the shell; a start in the
# background; a slow link (tests/ptyrelay) that delays and splits the
# terminal's answers and paces a paste; a resize while -t counts with
# standard output redirected.
# targets: posix (POSIX terminals only)
. "$(dirname "$0")/lib.sh"

RELAY=$BIN/tests/ptyrelay
PICKIT_BIN=$BIN/pickit/pickit
FILLIN_BIN=$BIN/fillin/fillin
OUT=$WORK/out.bat
last_row() { screen | sed 's/ *$//' | grep -v '^$' | tail -1; }
# pid_of PROGRAM: the newest process of the program among the current
# pane's: suites side by side run the same programs.
pid_of() {
    local level all=
    level=$("${TMUX_CMD[@]}" display-message -p -t t '#{pane_pid}')
    while [ -n "$level" ]; do
        all="$all $level"
        level=$(pgrep -d ' ' -P "${level// /,}")
    done
    pgrep -f "^$1( |$)" | grep -Fx -f <(tr ' ' '\n' <<<"$all" | grep .) | tail -1
}
# wait_file FILE: up to 10 s for the file to appear.
wait_file() { local i; for ((i = 0; i < 200; i++)); do [ -e "$1" ] && return; sleep 0.05; done; }
value() { tr -d '\r\n' <"$OUT" 2>/dev/null; }

# ---- Killed while the cursor report is on its way (the link delays it by
# 1 s): the terminal's settings back, the answer taken off the input, the
# signal's own end.
# (XFSZ is ignored: a write past a file-size limit fails, see faults.sh.)
signals="TERM HUP INT QUIT ALRM USR1 USR2 VTALRM PROF XCPU ABRT"
[ "$TARGET" = native ] && signals="$signals SEGV BUS"  # a sanitizer reports these
for sig in $signals; do
    rm -f "$OUT" "$WORK/before" "$WORK/after" "$WORK/rc2"
    start 80 12 "$RELAY 1000 '$WORK/q' bash -c 'ulimit -c 0; stty -g > before; X=hi $FILLIN_BIN -v x -f $OUT -p Name:; echo rc=\$? > rc2; stty -g > after; printf after:; read -t 1 x; echo \"[\$x]\"' 2>/dev/null"
    wait_for "Name:hi" 10
    kill -s "$sig" "$(pid_of "$FILLIN_BIN")"
    wait_file "$WORK/after"
    wait_for "]" 5
    check "$sig: settings back" "$(cat "$WORK/before")" "$(cat "$WORK/after" 2>&1)"
    check "$sig: the signal's end" "rc=$((128 + $(kill -l "$sig")))" "$(cat "$WORK/rc2" 2>&1)"
    check "$sig: nothing left for the shell" "after:[]" "$(screen | grep -o 'after:.*' | sed 's/ *$//')"
done

# ---- Started in the background, then fg: a foreground start.
shell="env -i TERM=screen HOME=$WORK PATH=/usr/bin:/bin LC_ALL=C.UTF-8 PS1='$ ' bash --norc --noprofile -i"
rm -f "$OUT"
start 60 15 "$shell"
wait_for '$' 10
keys "stty -g > before" Enter
keys "$PICKIT_BIN -p 'bg?' -k yn &" Enter
sleep 0.5
keys fg Enter
sleep 0.5
keys y
keys 'echo rc=$?; stty -g > after' Enter
wait_for "rc=" 5
check "pickit in the background, then fg: y chosen at once" "rc=1" "$(screen | grep -o 'rc=[0-9]*' | tail -1)"
check "pickit in the background, then fg: settings back" "$(cat "$WORK/before")" "$(cat "$WORK/after" 2>&1)"
keys "X=hi $FILLIN_BIN -v x -f $OUT -p 'Name: ' &" Enter
sleep 0.5
keys fg Enter
# shown again once in the foreground
for ((i = 0; i < 100; i++)); do [ "$(screen | grep -c 'Name: hi')" -ge 2 ] && break; sleep 0.05; done
literal abc
keys Enter 'echo rc=$?; stty -g > after' Enter
sleep 0.5
check "fillin in the background, then fg: Enter accepts" "SET X=hiabc" "$(value)"
check "fillin in the background, then fg: settings back" "$(cat "$WORK/before")" "$(cat "$WORK/after" 2>&1)"

# ---- Stopped while the report is on its way: the answer is taken before
# the shell gets the terminal, and fg goes on with the field.
rm -f "$OUT"
start 80 12 "$RELAY 1000 '$WORK/q' $shell"
wait_for '$' 10
keys "X=hi $FILLIN_BIN -v x -f $OUT -p Name:" Enter
wait_for "Name:hi" 10
kill -s TSTP "$(pid_of "$FILLIN_BIN")"
wait_for "Stopped" 10
keys 'read -r -t 1 x; echo "[$x]"' Enter
sleep 1.5
check "stopped during the round trip: nothing left for the shell" "[]" "$(screen | sed 's/ *$//' | grep -x '\[.*\]' | tail -1)"
keys fg Enter
for ((i = 0; i < 100; i++)); do [ "$(screen | grep -c 'Name:hi')" -ge 2 ] && break; sleep 0.05; done
literal abc
keys Enter
# The keys come after the answer to the query of the redraw, which the link
# holds for a second: wait for the shell's prompt, not a fixed time.
for ((i = 0; i < 100; i++)); do [ "$(last_row)" = '$' ] && break; sleep 0.05; done
check "stopped during the round trip: fg goes on" "SET X=hiabc" "$(value)"

# ---- SIGSTOP, which cannot be caught: continued, the settings are ours
# again.
rm -f "$OUT"
start 60 15 "$shell"
wait_for '$' 10
keys "X=hi $FILLIN_BIN -v x -f $OUT -p 'Name: '" Enter
wait_for "Name: hi" 10
kill -s STOP "$(pid_of "$FILLIN_BIN")"
wait_for "Stopped" 10
keys fg Enter
sleep 0.5
literal abc
keys Enter
sleep 0.5
check "SIGSTOP, then fg: keys raw again" "SET X=hiabc" "$(value)"

# ---- A slow link: a report after 2.5 s neither cancels nor outlasts a 4 s
# time-out.
rm -f "$OUT"
start 80 12 "$RELAY 2500 '$WORK/q' bash -c 'X=hi $FILLIN_BIN -v x -f $OUT -t 4 -p Name:; echo rc=\$?; printf after:; read -t 1 x; echo \"[\$x]\"'"
check "report after 2.5 s, -t 4: times out" "0" "$(wait_exit 12 >/dev/null; screen | grep -o 'rc=[0-9]*' | cut -d= -f2)"
check "report after 2.5 s, -t 4: the value" "SET X=hi" "$(value)"
check "report after 2.5 s, -t 4: nothing left for the shell" "after:[]" "$(last_row)"

# ---- A 400-line paste over a paced link (a line each 5 ms): fillin types
# its first line; pickit, timed out in its middle, chooses nothing; the
# rest never reaches the shell.
for ((i = 1; i <= 400; i++)); do echo "n line $i; echo RAN"; done >"$WORK/paste"
export RELAY_PASTE=$WORK/paste RELAY_PASTE_MS=5
rm -f "$OUT" "$WORK/q.pasted"
start 80 12 "$RELAY 0 '$WORK/q' bash -c '$FILLIN_BIN -v x -f $OUT -p Name:; printf after:; read -t 1 x; echo \"[\$x]\"'"
wait_for "Name:" 10
kill -s USR1 "$(pid_of "$RELAY")"
wait_file "$WORK/q.pasted"
keys Enter
wait_for "]" 5
check "fillin, paste: its first line typed" "SET X=n line 1; echo RAN" "$(value)"
check "fillin, paste: nothing left for the shell" "after:[]" "$(last_row)"
rm -f "$WORK/q.pasted"
start 80 12 "$RELAY 0 '$WORK/q' bash -c '$PICKIT_BIN -k yn -t y,1; echo rc=\$?; printf after:; read -t 1 x; echo \"[\$x]\"'"
wait_for "[Y,N]" 10
kill -s USR1 "$(pid_of "$RELAY")"
wait_exit 15 >/dev/null
check "pickit, paste: chooses nothing, times out" "rc=1" "$(screen | grep -o 'rc=[0-9]*')"
check "pickit, paste: nothing left for the shell" "after:[]" "$(last_row)"
printf 'n\n' >"$WORK/paste"
rm -f "$WORK/q.pasted"
start 80 12 "$RELAY 0 '$WORK/q' bash -c '$PICKIT_BIN -l -k yn; echo rc=\$?'"
wait_for "[Y,N]" 10
kill -s USR1 "$(pid_of "$RELAY")"
wait_file "$WORK/q.pasted"
keys Enter
wait_exit 15 >/dev/null
check "pickit -l, paste: types its line" "rc=2" "$(screen | grep -o 'rc=[0-9]*')"
unset RELAY_PASTE RELAY_PASTE_MS

# ---- pickit: a key of several code points typed at once is one key.
while IFS='|' read -r name key code; do
    start 80 12 "$PICKIT -k '🇩🇪🇫🇷👍🏽éx'"
    wait_for "[" 5
    literal "$key"
    check "pickit, $name" "$code" "$(wait_exit 5)"
done <<'CASES'
a flag|🇫🇷|2
an emoji with a modifier|👍🏽|3
a letter with its combining mark|é|4
CASES

# ---- A resize while -t counts, standard output redirected: the time-out
# still fires.
rm -f "$OUT"
start 80 12 "$PICKIT_BIN -k yn -t y,2 > o; echo rc=\$? >> o"
sleep 0.5
for _ in 1 2 3; do kill -s WINCH "$(pid_of "$PICKIT_BIN")"; sleep 0.3; done
wait_exit 8 >/dev/null
check "pickit -t, output redirected, resized: times out" "rc=1" "$(tail -1 "$WORK/o")"
start 80 12 "X=v $FILLIN_BIN -v x -f $OUT -t 2 > o"
sleep 0.5
for _ in 1 2 3; do kill -s WINCH "$(pid_of "$FILLIN_BIN")"; sleep 0.3; done
check "fillin -t, output redirected, resized: times out" 0 "$(wait_exit 8)"
check "fillin -t, output redirected, resized: the value" "SET X=v" "$(value)"
finish
