#!/usr/bin/env bash
# Runs without a terminal (setsid; Wine then gives no console): the answer
# comes from standard input, nothing is shown, and the end of the input
# gives the time-out's result or none, with the reason on standard error
# when nothing came at all.
. "$(dirname "$0")/lib.sh"

TOLD_PICKIT="pickit: no terminal, and no answer on standard input"
TOLD_FILLIN="fillin: no terminal, and no answer on standard input"
# ä and Ä as the input and the result hold them: UTF-8, or Windows' OEM
# code page 437.
a=$'\xc3\xa4' A=$'\xc3\x84'
$IS_WINDOWS && a=$'\x84' A=$'\x8e'

# run INPUT COMMAND...: the exit code of the command with no terminal, its
# standard input the output of the shell command INPUT, or the redirection
# INPUT when it starts with "<". A wait that never ends meets the timeout.
run() {
    local input=$1
    shift
    case $input in
    "<"*) eval "timeout 20 setsid -w $* $input" ;;
    *) eval "$input" | eval "timeout 20 setsid -w $*" ;;
    esac >"$WORK/out" 2>"$WORK/err"
    echo $?
}

# name | input | exit code | standard output | standard error | command.
table() {
    local name input code output told args
    while IFS='|' read -r name input code output told args; do
        [ -z "$name" ] && continue
        check "$name: exit code" "$code" "$(cd "$WORK" && run "$input" "$args")"
        check "$name: standard output" "$output" "$(tr -d '\r' <"$WORK/out")"
        check "$name: standard error" "$told" "$(tr -d '\r' <"$WORK/err")"
    done
}

table <<CASES
pickit, a key of the list|printf y|1|||$PICKIT
pickit, keys not in the list skipped|printf 'x?n'|2|||$PICKIT
pickit -s, a key of another case skipped|printf Yn|2|||$PICKIT -s
pickit, CR with a default|printf 'x\r'|2|||$PICKIT -d n
pickit, LF with a default|printf '\n'|2|||$PICKIT -d n
pickit, Enter without a default skipped|printf '\r\ny'|1|||$PICKIT
pickit -l, lines without a key of the list skipped|printf 'x\n\nyes\n'|1|||$PICKIT -l
pickit -l, an empty line takes the default|printf '\r\n'|2|||$PICKIT -l -d n
pickit -l, a last line without LF|printf n|2|||$PICKIT -l
pickit, the end before an answer|printf x|0|||$PICKIT
pickit, the end before an answer with a time-out|printf x|2|||$PICKIT -t n,60
pickit -l, the end before an answer with a time-out|printf 'x\n'|2|||$PICKIT -l -t n,60
pickit, the time-out with the input still open|< <(exec sleep 30)|2|||$PICKIT -t n,1
pickit, /dev/null|</dev/null|0||$TOLD_PICKIT|$PICKIT
pickit -l, /dev/null|</dev/null|0||$TOLD_PICKIT|$PICKIT -l
pickit, /dev/null with a time-out|</dev/null|2||$TOLD_PICKIT|$PICKIT -t n,60
fillin, the line is the value|printf 'Ann\nBob\n'|0|Ann||env x=zz $FILLIN -v x -f -
fillin, control characters and the CR dropped|printf 'A\tn\x1bn\r\n'|0|Ann||$FILLIN -v x -f -
fillin, a last line without LF|printf Ann|0|Ann||$FILLIN -v x -f -
fillin -u|printf '${a}nn\n'|0|${A}NN||$FILLIN -v x -f - -u
fillin -n|printf 'a1b2\n'|0|12||$FILLIN -v x -f - -n
fillin -l|printf 'abcdef\n'|0|abc||$FILLIN -v x -f - -l 3
fillin -m changes nothing|printf 'Ann\n'|0|Ann||$FILLIN -v x -f - -m
fillin, an empty line accepts the value as prepared|printf '\r\n'|0|ZZ||env x=zz $FILLIN -v x -f - -u
fillin, an empty line and no value|printf '\n'|2|||$FILLIN -v x -f -
fillin, the end with a time-out|</dev/null|0|zz|$TOLD_FILLIN|env x=zz $FILLIN -v x -f - -t 60
fillin, /dev/null|</dev/null|2||$TOLD_FILLIN|env x=zz $FILLIN -v x -f -
CASES

# The file is written as with a terminal, and only for an answer.
rm -f "$WORK/x.sh"
check "fillin to a file: exit code" 0 "$(cd "$WORK" && run "printf 'Ann\n'" "$FILLIN -v x -f x.sh")"
check "fillin to a file: the file" "export x='Ann'" "$(cat "$WORK/x.sh")"
check "fillin to a file: nothing shown" "" "$(cat "$WORK/out" "$WORK/err")"
rm -f "$WORK/x.sh"
check "fillin to a file, the end: exit code" 2 "$(cd "$WORK" && run "printf ''" "$FILLIN -v x -f x.sh")"
check "fillin to a file, the end: no file" no "$([ -e "$WORK/x.sh" ] && echo yes || echo no)"
finish
