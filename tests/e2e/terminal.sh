#!/usr/bin/env bash
# Both programs against the terminal's corners: redirected standard input
# and output, a field that wraps at the right edge and scrolls at the bottom
# row and a narrow terminal.
. "$(dirname "$0")/lib.sh"

winpath() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
# in_shell PROGRAM ARGS IN OUT: the program with standard input from IN and
# output to OUT ("-" leaves one alone). Under Wine the Windows command
# interpreter redirects: Wine reads no keys when the Linux shell does it.
in_shell() {
    local program=$1 args=$2 in=$3 out=$4 redirections=
    if $IS_WINDOWS; then
        [ "$in" = /dev/null ] && redirections+=" < NUL"
        [ "$in" != - ] && [ "$in" != /dev/null ] && redirections+=" < $(winpath "$in")"
        [ "$out" != - ] && redirections+=" > $(winpath "$out")"
        printf '%s cmd /c "%s %s%s"' "$RUN" "$(winpath "$BIN/$program/$program$EXE")" "$args" "$redirections"
    else
        [ "$in" != - ] && redirections+=" <'$in'"
        [ "$out" != - ] && redirections+=" >'$out'"
        printf '%s %s%s' "$BIN/$program/$program" "$args" "$redirections"
    fi
}
# Home and End: Wine's console takes tmux's own sequences for them as no key.
home() { if $IS_WINDOWS; then hex 1b 5b 48; else keys Home; fi; }
end() { if $IS_WINDOWS; then hex 1b 5b 46; else keys End; fi; }
row() { screen | sed -n "${1}p" | sed 's/ *$//'; }
# The batch file's bytes, shown with C escapes.
bytes() { od -An -c "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# ---- Standard input and output redirected
printf 'nnnn\r\n' >"$WORK/in.txt"
start 80 24 "$(in_shell pickit "" "$WORK/in.txt" -)"
wait_for "[Y,N]" 10; sleep 0.3; keys y
check "pickit, standard input from a file: keys from the terminal" 1 "$(wait_exit 10)"
check "pickit, standard input from a file: screen" "[Y,N] Y" "$(screen_text)"

start 80 24 "$(in_shell pickit "" /dev/null -)"
wait_for "[Y,N]" 10; sleep 0.3; keys n
check "pickit, standard input from /dev/null" 2 "$(wait_exit 10)"

start 80 24 "$(in_shell pickit "-p Go?" - "$WORK/out.txt")"
sleep 1.5; keys Left y
check "pickit, standard output to a file: exit code" 1 "$(wait_exit 10)"
eol='\r \n'
$IS_WINDOWS || eol='\n'
check "pickit, standard output to a file: the prompt and echo in the file" "G o ? [ Y , N ] Y $eol" "$(bytes "$WORK/out.txt")"
check "pickit, standard output to a file: nothing on the screen" "" "$(screen_text)"

export FILLVAL=hello
start 80 24 "$(in_shell fillin "-v fillval -f $WORK/set.bat -p Value:" - "$WORK/out.txt")"
sleep 1.5; keys BSpace X Enter
check "fillin, standard output to a file: exit code" 0 "$(wait_exit 10)"
check "fillin, standard output to a file: batch file" "S E T F I L L V A L = h e l l X \\r \\n" "$(bytes "$WORK/set.bat")"
check "fillin, standard output to a file: nothing on the screen" "" "$(screen_text)"
check "fillin, standard output to a file: the prompt and field in the file" yes \
    "$(grep -q 'Value:hello' "$WORK/out.txt" && echo yes || echo no)"

# ---- A field that wraps at the right edge of a 40-column terminal
export FILLVAL=abcdefghijklmnopqrstuvwxyz
prompt=$(printf '%030d' 0 | tr 0 p)
start 40 10 "$FILLIN -v fillval -f '$WORK/wrap.bat' -p $prompt"
wait_for "abc" 10; sleep 0.3
check "wrap: field continues on the next row" "${prompt}abcdefghij|klmnopqrstuvwxyz" "$(row 1)|$(row 2)"
check_cursor "wrap: cursor after the text" "16 1"
home
check_cursor "wrap: Home goes back to the row above" "30 0"
for _ in 1 2 3 4 5 6 7 8 9 10; do keys Right; done
check_cursor "wrap: Right crosses the edge to column 1" "0 1"
keys Left
check_cursor "wrap: Left from column 1 goes to the last column above" "39 0"
keys BSpace
check "wrap: deleting redraws across the edge" "${prompt}abcdefghjk|lmnopqrstuvwxyz" "$(row 1)|$(row 2)"
end; keys 1 2 3 4 5 Enter
check "wrap: exit code" 0 "$(wait_exit 10)"
check "wrap: batch file" "SET FILLVAL=abcdefghjklmnopqrstuvwxyz12345" "$(tr -d '\r\n' <"$WORK/wrap.bat")"

# ---- The field at the bottom row scrolls the screen
export FILLVAL=0123456789
start 40 5 "printf 'one\ntwo\nthree\nfour\n'; $FILLIN -v fillval -f '$WORK/bottom.bat' -p $prompt"
wait_for "0123" 10; sleep 0.3
keys a b c
check "bottom row: field grows onto a new row" "${prompt}0123456789|abc" "$(row 4)|$(row 5)"
check_cursor "bottom row: cursor after the text" "3 4"
keys Left Left Left Left
check_cursor "bottom row: Left goes back to the row above" "39 3"
keys Enter
check "bottom row: exit code" 0 "$(wait_exit 10)"
check "bottom row: batch file" "SET FILLVAL=0123456789abc" "$(tr -d '\r\n' <"$WORK/bottom.bat")"

# ---- pickit's prompt longer than a narrow terminal
start 30 8 "$PICKIT -p $(printf '%030d' 0 | tr 0 q)"
wait_for "[Y,N]" 10; sleep 0.3; keys n
check "narrow: exit code" 2 "$(wait_exit 10)"
check "narrow: prompt wraps" "$(printf '%030d' 0 | tr 0 q)| [Y,N] N" "$(row 1)|$(row 2)"

finish
