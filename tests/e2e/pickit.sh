#!/usr/bin/env bash
# pickit in a real terminal: the prompt, the keys, the time-out, line mode,
# the screen, the cursor and the exit code.
. "$(dirname "$0")/lib.sh"

# pick NAME "ARGS" RC "SCREEN" "CURSOR" KEY...: runs pickit with the words
# of ARGS, types the keys (a key "@N" waits N seconds instead, "?TEXT" until
# the screen shows TEXT: a key typed soon after Enter may come in one burst
# with it, which Enter does not accept), then checks
# the exit code, the screen (rows joined by "|") and the cursor ("x y").
pick() {
    local name=$1 args=$2 rc=$3 text=$4 where=$5
    shift 5
    start 80 24 "$PICKIT $args"
    wait_for "]" 10 || wait_for "" 1
    sleep 0.3
    local key
    for key in "$@"; do
        case $key in
        @*) sleep "${key#@}" ;;
        \?*) wait_for "${key#\?}" 10 ;;
        *) keys "$key" ;;
        esac
    done
    check "$name: exit code" "$rc" "$(wait_exit 15)"
    check "$name: screen" "$text" "$(screen_text | paste -sd '|')"
    [ -n "$where" ] && check_cursor "$name: cursor" "$where"
}

pick "defaults, y" "" 1 "[Y,N] Y" "0 1" y
pick "case folding, n" "" 2 "[Y,N] N" "0 1" n
pick "case-sensitive list ignores y" "-s -k YN" 2 "[Y,N] N" "0 1" y N
pick "unacceptable keys dropped" "" 2 "[Y,N] N" "0 1" x 1 Space n
pick "Enter without a default key" "" 1 "[Y,N] Y" "0 1" Enter y
pick "Enter with a default key" "-d n" 2 "[Y,N] N" "0 1" Enter
pick "arrows and function keys ignored" "" 2 "[Y,N] N" "0 1" Up Left F1 F11 n
pick "prompt text" "-p Continue?" 1 "Continue? [Y,N] Y" "0 1" y
pick "repeated key: first position" "-k YNY" 1 "[Y,N,Y] Y" "0 1" Y
pick "key list of digits" "-k 123 -n -p Choose:" 3 "Choose:3" "0 1" 3
pick "time-out fires" "-t N,2" 2 "[Y,N] N" "0 1" @3
pick "quiet time-out writes nothing" "-q -t Y,1" 1 "[Y,N]" "6 0" @2
pick "quiet key" "-q" 2 "[Y,N]" "6 0" n
pick "early key cancels the time-out" "-t N,1" 1 "[Y,N] Y" "0 1" x @3 y
pick "line mode, default key on Enter" "-l -d N" 2 "[Y,N] N" "0 1" Enter
pick "line mode, typed key" "-l" 1 "[Y,N] Y" "0 1" y Enter
pick "line mode, empty entry asks again" "-l" 2 \
    "[Y,N]|Acceptable keystrokes: Y,N|[Y,N] N" "0 3" Enter '?keystrokes' n Enter
pick "line mode, time-out key in the field" "-l -t N,2" 2 "[Y,N] N" "0 1" @3

# Ctrl+C: a key in a POSIX terminal; Wine's terminal console turns it into a
# signal, so on Windows the key is written into the console's input buffer.
if $IS_WINDOWS; then
    winpath() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
    ctrl_c="d,11,1d,0,8 d,43,2e,3,8"
    for args in "" "-q" "-l"; do
        start 80 24 "$RUN $BIN/tests/inject$EXE $ctrl_c -- '$(winpath "$BIN/pickit/pickit$EXE")' $args"
        check "Ctrl+C ($args): exit code" 255 "$(wait_exit 20)"
        wait_for "^C" 5
        check "Ctrl+C ($args): screen" "[Y,N] ^C" "$(screen_text | head -1)"
    done
else
    pick "Ctrl+C" "" 255 "[Y,N] ^C" "0 1" C-c
    pick "Ctrl+C when quiet" "-q" 255 "[Y,N] ^C" "0 1" C-c
    pick "Ctrl+C in line mode" "-l -d Y" 255 "[Y,N] ^C" "0 1" C-c
fi

# ---- abc, Enter, def, Enter in one write (a paste): "a" answers, and the
# next reader (SET /P, the shell's read) gets only what is typed after.
if $IS_WINDOWS; then
    printf '@echo off\r\n%s -k abc\r\necho rc=%%errorlevel%%\r\nset /p rest=Left: \r\necho rest=[%%rest%%]\r\n' \
        "$(winpath "$BIN/pickit/pickit$EXE")" >"$WORK/burst.bat"
    start 80 24 "$RUN cmd /c '$(winpath "$WORK/burst.bat")'"
else
    start 80 24 "$PICKIT -k abc; echo rc=\$?; printf 'Left: '; read -r rest; echo \"rest=[\$rest]\""
fi
wait_for "]" 15
hex 61 62 63 0d 64 65 66 0d
wait_for "Left:" 15
literal z
keys Enter
wait_exit 15 >/dev/null
check "a burst: its first key answers, nothing left" "[A,B,C] A|rc=1|Left: z|rest=[z]" "$(screen_text | paste -sd '|')"
finish
