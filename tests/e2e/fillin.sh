#!/usr/bin/env bash
# fillin end to end: the value from the environment, editing, the exact bytes
# of the batch file, the exit codes, and the Windows families under Wine.
. "$(dirname "$0")/lib.sh"
set -f  # "/?" is an argument, not a pattern

OUT=$WORK/out.bat
INJECT="$RUN $BIN/tests/inject$EXE"

# fill ENV ARGS: fillin in a fresh pane with the environment assignments
# ENV (shell words) and the arguments ARGS; out.bat starts absent.
fill() {
    rm -f "$OUT"
    start 80 24 "$1 $FILLIN $2"
}
# bytes FILE: the file's bytes in hex, or "missing".
bytes() { if [ -f "$1" ]; then od -An -tx1 "$1" | tr -s ' \n' ' '; else echo missing; fi; }
# expect_file NAME TEXT: out.bat holds exactly TEXT.
expect_file() { check "$1" "$(printf '%s' "$2" | od -An -tx1 | tr -s ' \n' ' ')" "$(bytes "$OUT")"; }
# expect_run NAME CODE TEXT: the run ends with CODE and out.bat holds TEXT
# (or is "missing").
expect_run() {
    check "$1: exit code" "$2" "$(wait_exit 15)"
    if [ "$3" == missing ]; then
        check "$1: no file" missing "$(bytes "$OUT")"
    else
        expect_file "$1: file" "$3"
    fi
}
# text NAME TEXT: the screen shows the text.
text() { wait_for "$2" 5; check "$1" yes "$(screen | grep -qF -- "$2" && echo yes || echo no)"; }

# ---- Usage and command line: no console needed.
usage_first="Fillin * Version 9 * a line of input for your scripts"
for args in "" "-h" "/?" "-v x -f a.bat -t bad -H"; do
    full=$($FILLIN $args </dev/null)
    check "fillin $args: usage exit code" 0 "$?"
    check "fillin $args: first line" "$usage_first"$'\r' "$(printf '%s\n' "$full" | head -1)"
    check "fillin $args: 23 lines" 23 "$(printf '%s\n' "$full" | wc -l)"
    check "fillin $args: last line" "  3  Error on the command line"$'\r' "$(printf '%s\n' "$full" | tail -1)"
done

while IFS='|' read -r args message; do
    out=$($FILLIN $args </dev/null)
    rc=$?
    check "fillin $args: exit code" 3 "$rc"
    check "fillin $args: message" "$message"$'\r\n'"Use -h for help"$'\r' "$out"
done <<'CASES'
-f a.bat|Environment variable name not specified
-v x|Output file name not specified
-v x -f|Output file name not specified
-v x<y -f a.bat|Environment variable name contains illegal characters
-v x -f a.bat -t abc|Invalid timeout specified
-v x -f a.bat -t -1 -l 0|Invalid timeout specified
-v x -f a.bat -l 0|Length must be from 1 to 2040
-v path -f a.bat -l 2038|Length must be from 1 to 2037
CASES

# ---- The value from the environment, accepted by a time-out.
fill "X=hello" "-v x -f out.bat -p 'Name: ' -t 1"
text "the prompt and the pre-filled value" "Name: hello"
expect_run "time-out accepts the value" 0 $'SET X=hello\r\n'

fill "X=abcdef" "-v x -f out.bat -l 3 -t 1"
expect_run "-l 3 cuts the value" 0 $'SET X=abc\r\n'
fill "X=abc" "-v x -f out.bat -u -t 1"
expect_run "-u upper-cases the value" 0 $'SET X=ABC\r\n'
fill "X=abc" "-v x -f out.bat -m -t 1"
expect_run "-m starts empty" 2 missing
fill "X=12a" "-v x -f out.bat -n -t 1"
expect_run "-n drops a value that is not all digits" 2 missing
fill "X=123" "-v x -f out.bat -n -t 1"
expect_run "-n keeps digits" 0 $'SET X=123\r\n'
fill "X=50%" "-v x -f out.bat -t 1"
expect_run "percent signs are doubled" 0 $'SET X=50%%\r\n'
fill "X=$(printf 'v%.0s' {1..3000})" "-v x -f out.bat -t 1"
expect_run "a value too long for the line starts empty" 2 missing

printf 'old\r\n' >"$OUT.keep"
cp "$OUT.keep" "$OUT"
start 80 24 "X= $FILLIN -v x -f out.bat -t 1"
check "empty value: exit code" 2 "$(wait_exit 15)"
check "empty value: the old file stays" "$(bytes "$OUT.keep")" "$(bytes "$OUT")"

printf 'old one\r\nold two\r\n' >"$OUT"
start 80 24 "X=new $FILLIN -v x -f out.bat -t 1"
check "an existing file: exit code" 0 "$(wait_exit 15)"
expect_file "an existing file is replaced" $'SET X=new\r\n'

fill "X=abc" "-v x -f no_such_folder/out.bat -t 1"
check "missing folder: exit code" 3 "$(wait_exit 15)"
text "missing folder: message" "Cannot open file for output"
text "missing folder: help line" "Use -h for help"

# ---- Platform details.
if $IS_WINDOWS; then
    fill "X='a&b'" "-v x -f out.bat -t 1"
    expect_run "NT: carets before &" 0 $'SET X=a^^^&b\r\n'
    fill "X='(x)|^'" "-v x -f out.bat -t 1"
    expect_run "NT: carets before ( ) | ^" 0 $'SET X=^^^(x^^^)^^^|^^^^\r\n'
    fill "X='a^^^&b'" "-v x -f out.bat -t 1"
    expect_run "NT: the carets read back are removed first" 0 $'SET X=a^^^&b\r\n'
    fill "X='a&b%c'" "-v x -f out.bat -t 1"
    expect_run "NT: carets, then percent signs" 0 $'SET X=a^^^&b%%c\r\n'
    # Wine hands the value over in code page 1252: e9 is OEM 437's 82.
    fill "X=é" "-v x -f out.bat -t 1"
    expect_run "the value in the OEM code page" 0 $'SET X=\x82\r\n'
    fill "X=€" "-v x -f out.bat -t 1"
    expect_run "a value the OEM code page lacks starts empty" 2 missing

    # Windows 9x, as Wine reports it for this one program.
    key='HKCU\Software\Wine\AppDefaults\fillin.exe'
    $WINE64 reg add "$key" /v Version /d win98 /f >/dev/null 2>&1
    out=$($FILLIN -v x -f a.bat -l 1018 </dev/null)
    check "Win9x: the line is 1023 long" "Length must be from 1 to 1017"$'\r\n'"Use -h for help"$'\r' "$out"
    fill "X='a&b'" "-v x -f out.bat -t 1"
    expect_run "Win9x: no carets" 0 $'SET X=a&b\r\n'
    start 80 24 "X='a|b' timeout 5 $FILLIN -v x -f out.bat -p 'Name: ' -t 1"
    rm -f "$OUT"
    sleep 3
    check "Win9x: a|b refused again after each time-out" yes \
        "$([ "$(screen | grep -c 'Illegal characters specified: <, |, or >')" -ge 2 ] && echo yes || echo no)"
    check "Win9x: no file while refused" missing "$(bytes "$OUT")"
    wait_exit 10 >/dev/null
    fill "X='a|b'" "-v x -f out.bat -p 'Name: '"
    wait_for "Name: a|b" 5
    keys Enter
    text "Win9x: the refusal" "Illegal characters specified: <, |, or >"
    keys BSpace BSpace Enter
    expect_run "Win9x: the changed value is written" 0 $'SET X=a\r\n'
    $WINE64 reg delete "$key" /f >/dev/null 2>&1
else
    fill "X='a&b^'" "-v x -f out.bat -t 1"
    expect_run "no carets outside Windows NT" 0 $'SET X=a&b^\r\n'
    start 80 24 "X=abc $FILLIN -v x -f /dev/full -t 1"
    check "a full disk: exit code" 101 "$(wait_exit 15)"
    text "a full disk: runtime error" "Runtime error 101"
    fill "X=é" "-v x -f out.bat -t 1"
    expect_run "UTF-8 value back as UTF-8" 0 $'SET X=\xc3\xa9\r\n'
    fill "X=€" "-v x -f out.bat -t 1"
    expect_run "a value beyond Latin-1 starts empty" 2 missing
    fill "X=\$(printf '\\351')" "-v x -f out.bat -t 1"
    expect_run "a value that is not UTF-8 starts empty" 2 missing
    fill "env 'ДАТА=x'" "-v ДАТА -f out.bat -t 1"
    expect_run "a name beyond Latin-1 keeps its bytes" 0 $'SET ДАТА=x\r\n'
    rm -f "$WORK/café.bat"
    start 80 24 "X=x $FILLIN -v x -f café.bat -t 1"
    check "a file name in UTF-8: exit code" 0 "$(wait_exit 15)"
    check "a file name in UTF-8: the file" "$(printf 'SET X=x\r\n' | od -An -tx1 | tr -s ' \n' ' ')" \
        "$(bytes "$WORK/café.bat")"

    # Permissions do not bind root: run as nobody where we are root.
    AS_USER=
    if [ "$(id -u)" = 0 ]; then
        AS_USER="setpriv --reuid=65534 --regid=65534 --clear-groups"
        chmod 755 "$WORK"
    fi
    mkdir "$WORK/ro" && chmod 555 "$WORK/ro"
    start 80 24 "X=abc $AS_USER $FILLIN -v x -f ro/out.bat -t 1"
    check "a read-only folder: exit code" 3 "$(wait_exit 15)"
    check "a read-only folder: no file" missing "$(bytes "$WORK/ro/out.bat")"
    printf 'old\r\n' >"$WORK/ro.bat" && chmod 444 "$WORK/ro.bat"
    start 80 24 "X=abc $AS_USER $FILLIN -v x -f ro.bat -t 1"
    check "a read-only file: exit code" 3 "$(wait_exit 15)"
    check "a read-only file: unchanged" "$(bytes "$OUT.keep")" "$(bytes "$WORK/ro.bat")"
fi

# ---- Typing.
fill "X=abc" "-v x -f out.bat -p 'Name: '"
wait_for "Name: abc" 5
keys BSpace d Enter
expect_run "editing, then Enter" 0 $'SET X=abd\r\n'

fill "X=abc" "-v x -f out.bat -p 'Pin: ' -m -n"
wait_for "Pin: " 5
literal "se1"
keys Enter
text "-m shows asterisks" "Pin: ***"
expect_run "-m cancels -n" 0 $'SET X=se1\r\n'

fill "X=" "-v x -f out.bat -n"
sleep 0.5
literal "1a2"
keys Enter
expect_run "-n takes digits only" 0 $'SET X=12\r\n'

fill "X=" "-v x -f out.bat -u"
sleep 0.5
literal "ab1"
keys Enter
expect_run "-u upper-cases typed letters" 0 $'SET X=AB1\r\n'

fill "X=bc" "-v x -f out.bat -b -p 'V: '"
wait_for "V: bc" 5
literal "a"
keys Enter
expect_run "-b puts the cursor first" 0 $'SET X=abc\r\n'

fill "X=abc" "-v x -f out.bat -b -o -p 'V: '"
wait_for "V: abc" 5
literal "X"
keys Enter
expect_run "-o overtypes" 0 $'SET X=Xbc\r\n'

fill "X=abc" "-v x -f out.bat -t 1 -p 'V: '"
wait_for "V: abc" 5
literal "d"
sleep 1.5
keys Enter
expect_run "a key before the time-out: editing goes on" 0 $'SET X=abcd\r\n'

# Ctrl+C: under Wine the terminal's C-c is a signal, not a key; the inject
# helper writes it into the console as the key.
cp "$OUT.keep" "$OUT"
if $IS_WINDOWS; then
    fillin_win="Z:$BIN/fillin/fillin$EXE"
    start 80 24 "X=abc $INJECT d,11,1d,0,8 d,43,2e,3,8 -- '${fillin_win//\//\\}' -v x -f out.bat"
else
    start 80 24 "X=abc $FILLIN -v x -f out.bat"
    wait_for "abc" 5
    keys C-c
fi
check "Ctrl+C: exit code" 1 "$(wait_exit 20)"
check "Ctrl+C: the old file stays" "$(bytes "$OUT.keep")" "$(bytes "$OUT")"

finish
