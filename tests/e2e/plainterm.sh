#!/usr/bin/env bash
# What the programs send a terminal that takes no escape sequence (TERM
# dumb, through script), and a terminal whose dialogue went to a file: no
# ESC byte at all, the editor still working, the cursor left alone; and the
# messages of fillin -f - without a terminal on standard error.
# targets: posix (the Windows console takes no TERM)
. "$(dirname "$0")/lib.sh"

OUT=$WORK/out.sh
TS=$WORK/typescript
value() { [ -f "$OUT" ] && sed -e "s/^export X='//" -e "s/'\$//" "$OUT" || echo missing; }
# What the program wrote to the terminal: the typescript without script's
# first line (and its last once the program has ended).
sent() { if [ -f "$WORK/rc" ]; then sed -e '1d' -e '$d' "$TS"; else sed 1d "$TS"; fi; }
escapes() { sent | grep -c $'\e'; }
last_row() { screen | sed 's/ *$//' | grep -v '^$' | tail -1; }
# dumb WIDTH COMMAND: the command under TERM=dumb in a pane of that width,
# its output recorded by script.
dumb() {
    rm -f "$OUT" "$TS"
    start "$1" 10 "TERM=dumb script -q -e -f -c \"$2\" '$TS'"
}

# ---- Editing under TERM=dumb: BS, and the text written again
dumb 60 "X=abc $FILLIN -v X -f '$OUT' -p V:"
wait_for "V:abc" 10
keys Left x
check "dumb: Left and x as a line editor writes them" "V:abc"$'\b'"xc"$'\b' "$(sent | head -c 10)"
keys Home y End Enter
check "dumb: exit code" 0 "$(wait_exit 10)"
check "dumb: the file" "yabxc" "$(value)"
check "dumb: no escape sequence sent (no query, no paste mode)" 0 "$(escapes)"
check "dumb: the screen" "V:yabxc" "$(last_row)"

dumb 60 "$FILLIN -v X -f '$OUT' -p V: -t 1"
check "dumb: time-out: exit code" 2 "$(wait_exit 10)"
check "dumb: time-out: no escape sequence sent" 0 "$(escapes)"

dumb 60 "$PICKIT -p Go?"
wait_for "[Y,N]" 10
keys Left y
check "dumb: pickit: exit code" 1 "$(wait_exit 10)"
check "dumb: pickit: no escape sequence sent" 0 "$(escapes)"

# An ESC in the prompt, in a locale that is not UTF-8, shows as "?".
export ESC_PROMPT=$'Go\e[7m?'
dumb 60 "LC_ALL=en_US.ISO-8859-1 $PICKIT -p \\\"\$ESC_PROMPT\\\""
wait_for "[Y,N]" 10
keys y
check "dumb, Latin-1: pickit: exit code" 1 "$(wait_exit 10)"
check "dumb, Latin-1: pickit: no escape sequence sent" "0 Go?[7m? [Y,N] Y" "$(escapes) $(last_row)"

# A field longer than the line (20 columns: 19 of them used) is written
# whole; moving back writes its start again on the last line, up to the
# line's last cell (which is left alone, as the bottom-right cell of a
# screen is when a field longer than the screen is shown again).
dumb 20 "X=abcdefghijklmnopqrstuvwxyz $FILLIN -v X -f '$OUT' -p V:"
wait_for "rstuvwxyz" 10
keys Home Right 1
check "dumb, long field: its start written again, edited" "V:a1bcdefghijklmno" "$(last_row)"
keys End BSpace Left Left 2 Enter
check "dumb, long field: exit code" 0 "$(wait_exit 10)"
check "dumb, long field: the file" "a1bcdefghijklmnopqrstuvw2xy" "$(value)"
check "dumb, long field: no escape sequence sent" 0 "$(escapes)"

# ---- Standard output to a file: the terminal is sent nothing
rm -f "$OUT" "$TS"
start 60 10 "printf ab; script -q -e -f -c \"X=abc $FILLIN -v X -f '$OUT' -p V: >'$WORK/dialogue'\" '$TS'; printf '\$'"
sleep 1
check_cursor "to a file: the cursor stays where it was" "2 0"
keys Left x Home Enter
check "to a file: exit code" 0 "$(wait_exit 10)"
check "to a file: the file" "abxc" "$(value)"
check "to a file: the shell's next output where the cursor was" 'ab$' "$(screen | sed -n 1p | sed 's/ *$//')"
check "to a file: nothing sent to the terminal" "" "$(sent)"
check "to a file: the dialogue in the file" "V:abcxc" "$(cat "$WORK/dialogue")"

# ---- fillin -f - without a terminal: the messages on standard error
setsid -w $FILLIN -v X -f - -l 0 </dev/null >"$WORK/stdout" 2>"$WORK/stderr"
check "no terminal, -f -: exit code" 3 "$?"
check "no terminal, -f -: the message on standard error" \
    "Length must be from 1 to 2040|Use -h for help" "$(paste -sd'|' "$WORK/stderr")"
check "no terminal, -f -: nothing on standard output" "" "$(cat "$WORK/stdout")"
finish
