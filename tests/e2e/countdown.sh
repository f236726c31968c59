#!/usr/bin/env bash
# -c: the seconds a time-out has left, beside the prompt on the console
# only; going down, blanked by the first key or the time-out, which leave
# the screen as without -c.
. "$(dirname "$0")/lib.sh"

# shown NAME TEXT: the first row, once it shows TEXT.
shown() {
    wait_for "$2" 15
    check "$1" "$2" "$(screen_text | head -1)"
}
# ends NAME RC SCREEN CURSOR: the exit code, the whole screen, the cursor.
ends() {
    check "$1: exit code" "$2" "$(wait_exit 15)"
    check "$1: screen" "$3" "$(screen_text | paste -sd '|')"
    check_cursor "$1: cursor" "$4"
}

start 80 24 "$PICKIT -c -t N,3 -p Continue"
shown "pickit: the count-down beside the echo cell" "Continue [Y,N]  (N in 3s)"
check_cursor "pickit: the cursor on the echo cell" "15 0"
shown "pickit: one second later" "Continue [Y,N]  (N in 2s)"
keys y
ends "pickit: a key blanks it" 1 "Continue [Y,N] Y" "0 1"

start 80 24 "$PICKIT -C -t N,2 -p Continue"
wait_for "(N in 2s)" 15
ends "pickit: the time runs out" 2 "Continue [Y,N] N" "0 1"

start 80 24 "X=Bob $FILLIN -v x -f out.bat -c -t 3 -p 'Name: '"
shown "fillin: the count-down after the text" "Name: Bob (3s)"
check_cursor "fillin: the cursor after the text" "9 0"
shown "fillin: one second later" "Name: Bob (2s)"
keys x
wait_for "Name: Bobx" 5
check "fillin: a key blanks it" "Name: Bobx" "$(screen_text | head -1)"
keys Enter
ends "fillin: the edit goes on" 0 "Name: Bobx" "0 1"

start 80 24 "X=Bob $FILLIN -v x -f out.bat -ct 2 -p 'Name: '"
wait_for "(2s)" 15
ends "fillin: the time runs out" 0 "Name: Bob" "0 1"

# Standard output to a file: the prompt and echo go there, the count-down
# nowhere.
start 80 24 "$PICKIT -c -t N,2 >out.txt"
sleep 1.5
check "redirected: the terminal shows nothing while it waits" "" "$(screen_text)"
wait_exit 15 >/dev/null
check "redirected: the file holds the dialogue alone" "[Y,N] N$EOL" "$(cat "$WORK/out.txt")"
check "redirected: the terminal shows nothing after" "" "$(screen_text)"
finish
