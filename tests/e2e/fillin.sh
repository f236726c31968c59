#!/usr/bin/env bash
# fillin end to end: the value from the environment, editing, the exact bytes
# of the batch file, the exit codes, and the Windows families under Wine.
. "$(dirname "$0")/lib.sh"
set -f  # "/?" is an argument, not a pattern

OUT=$WORK/out.bat
if $IS_WINDOWS; then
    # Makes Wine report Windows 9x to a copy of fillin.exe with a name of
    # this run's own: the key is the Wine prefix's, and other suites and the
    # other Windows target run fillin.exe there at the same time. Never left
    # behind.
    WIN98_EXE=fillin98-$$.exe
    cp "$BIN/fillin/fillin$EXE" "$WORK/$WIN98_EXE"
    WIN98_KEY="HKCU\\Software\\Wine\\AppDefaults\\$WIN98_EXE"
    eval "set -- $(trap -p EXIT)"
    # shellcheck disable=SC2064 # the key is this run's, known now
    trap "\$WINE64 reg delete '$WIN98_KEY' /f >/dev/null 2>&1; $3" EXIT
fi

# bytes FILE: the file's bytes in hex, or "missing".
bytes() { if [ -f "$1" ]; then od -An -tx1 "$1" | tr -s ' \n' ' '; else echo missing; fi; }
# expect NAME CODE FILE: the run in the pane ends with CODE and out.bat
# holds FILE (printf %b escapes), or is "missing".
expect() {
    check "$1: exit code" "$2" "$(wait_exit 15)"
    local want=missing
    [ "$3" != missing ] && want=$(printf '%b' "$3" | od -An -tx1 | tr -s ' \n' ' ')
    check "$1: file" "$want" "$(bytes "$OUT")"
}
# fill ENV ARGS: fillin -v x -f out.bat ARGS in a fresh pane, with the shell
# assignments ENV; out.bat starts absent.
fill() { rm -f "$OUT"; start 80 24 "$1 $FILLIN -v x -f out.bat $2"; }
shows() { wait_for "$2" 15; check "$1" yes "$(screen | grep -qF -- "$2" && echo yes || echo no)"; }

# ---- Usage and command-line errors.
for args in "" "-h" "/?" "-v x -f a.bat -t bad -H"; do
    full=$($FILLIN $args </dev/null)
    check "fillin $args: usage exit code" 0 "$?"
    check "fillin $args: usage, first and last of 25 lines" \
        "Fillin * Version 9 * a line of input for your scripts$EOL|25|  3  Error on the command line$EOL" \
        "$(printf '%s\n' "$full" | head -1)|$(printf '%s\n' "$full" | wc -l)|$(printf '%s\n' "$full" | tail -1)"
done
while IFS=: read -r args message; do
    out=$(messages $FILLIN $args)
    check "fillin $args: exit code 3" 3 "$?"
    check "fillin $args: message" "$message$EOL"$'\n'"Use -h for help$EOL" "$out"
done <<'CASES'
-f a.bat:Environment variable name not specified
-v x -f:Output file name not specified
-v x<y -f a.bat:Environment variable name contains illegal characters
-v a=b -f a.bat:Environment variable name contains illegal characters
-v /p -f a.bat:Environment variable name contains illegal characters
-v x -f a.bat -t -1 -l 0:Invalid timeout specified
-v path -f a.bat -l 2038:Length must be from 1 to 2037
CASES

# ---- The value from the environment, accepted by a one-second time-out:
# name : environment : arguments : exit code : batch file.
common_cases='
pre-filled value:X=hello:-t 1:0:SET X=hello\r\n
-l 3 cuts the value:X=abcdef:-l 3 -t 1:0:SET X=abc\r\n
-u upper-cases the value:X=abc:-u -t 1:0:SET X=ABC\r\n
-m starts empty:X=abc:-m -t 1:2:missing
-n drops a value not all digits:X=12a:-n -t 1:2:missing
-n keeps digits:X=123:-n -t 1:0:SET X=123\r\n
percent signs doubled:X=50%:-t 1:0:SET X=50%%\r\n
a value too long starts empty:X=$(printf %03000d 0):-t 1:2:missing'
windows_cases="
carets on NT before & ( ) | ^:X='a&(b)|^^':-t 1:0:SET X=a^^^&^^^(b^^^)^^^|^^^^\r\n
carets on NT read back are removed first:X='a^&b':-t 1:0:SET X=a^^^&b\r\n
carets on NT, then percent signs:X='a&b%c':-t 1:0:SET X=a^^^&b%%c\r\n
the value in OEM code page 437:X=é:-t 1:0:SET X=\x82\r\n
a value OEM lacks starts empty:X=€:-t 1:2:missing"
posix_cases="
no carets outside Windows NT:X='a&b^':-t 1:0:SET X=a&b^\r\n
UTF-8 value back as UTF-8:X=é:-t 1:0:SET X=\xc3\xa9\r\n
a value beyond Latin-1 as it is:X=€:-t 1:0:SET X=\xe2\x82\xac\r\n
a value not in UTF-8 starts empty:X=\$(printf '\\351'):-t 1:2:missing"
platform_cases=$posix_cases
$IS_WINDOWS && platform_cases=$windows_cases
while IFS=: read -r name env args code file; do
    [ -z "$name" ] && continue
    fill "$env" "$args"
    expect "$name" "$code" "$file"
done <<<"$common_cases$platform_cases"

printf 'old\r\n' >"$WORK/old.bat"
cp "$WORK/old.bat" "$OUT"
start 80 24 "X= $FILLIN -v x -f out.bat -t 1"
check "empty value: exit code" 2 "$(wait_exit 15)"
check "empty value: the old file stays" "$(bytes "$WORK/old.bat")" "$(bytes "$OUT")"
printf 'old one\r\nold two\r\n' >"$OUT"
start 80 24 "X=new $FILLIN -v x -f out.bat -t 1"
expect "an existing file is replaced" 0 'SET X=new\r\n'
# A file that cannot be written is refused before the prompt.
mkdir -p "$WORK/folder.bat"
for file in no_such_folder/out.bat folder.bat; do
    start 80 24 "X=abc $FILLIN -v x -f $file -p 'V: '"
    check "$file: exit code" 3 "$(wait_exit 15)"
    check "$file: refused before the prompt" $'Cannot open file for output\nUse -h for help' "$(screen_text)"
done

if $IS_WINDOWS; then
    $WINE64 reg add "$WIN98_KEY" /v Version /d win98 /f >/dev/null 2>&1
    FILLIN_NT=$FILLIN
    FILLIN="$RUN $WORK/$WIN98_EXE"
    check "Win9x: the line is 1023 long" "Length must be from 1 to 1017"$'\r\n'"Use -h for help"$'\r' \
        "$($FILLIN -v x -f a.bat -l 1018 </dev/null)"
    fill "X='a&b'" "-t 1"
    expect "Win9x: no carets" 0 'SET X=a&b\r\n'
    # Replaced by a delete and a move, the family lacking ReplaceFileA.
    start 80 24 "X=new $FILLIN -v x -f out.bat -t 1"
    expect "Win9x: an existing file is replaced" 0 'SET X=new\r\n'
    # Refused on every time-out until the user changes it.
    rm -f "$OUT"
    start 80 24 "X='a|b' timeout --foreground 30 $FILLIN -v x -f out.bat -t 1"
    for ((i = 0, refusals = 0; i < 300 && refusals < 2; i++)); do
        refusals=$(screen | grep -c 'Illegal characters specified: <, |, or >')
        sleep 0.05
    done
    check "Win9x: a|b refused after each time-out, no file" "2 missing" "$refusals $(bytes "$OUT")"
    keys C-c
    wait_exit 30 >/dev/null
    fill "X='a|b'" "-p 'Name: '"
    wait_for "Name: a|b" 15
    keys Enter
    shows "Win9x: the refusal" "Illegal characters specified: <, |, or >"
    keys BSpace BSpace Enter
    expect "Win9x: the changed value is written" 0 'SET X=a\r\n'
    $WINE64 reg delete "$WIN98_KEY" /f >/dev/null 2>&1
    FILLIN=$FILLIN_NT
else
    start 80 24 "X=abc $FILLIN -v X -f /dev/full -t 1"
    check "a full disk: exit code" 101 "$(wait_exit 15)"
    shows "a full disk: runtime error" "Runtime error 101"
    start 80 24 "env 'ДАТА=x' $FILLIN -v ДАТА -f café.bat -t 1"
    check "names beyond Latin-1 keep their bytes: exit code" 0 "$(wait_exit 15)"
    check "names beyond Latin-1 keep their bytes: file" "$(printf 'SET ДАТА=x\r\n' | od -An -tx1 | tr -s ' \n' ' ')" \
        "$(bytes "$WORK/café.bat")"
    # Permissions do not bind root: run as nobody where we are root.
    as_user=
    if [ "$(id -u)" = 0 ]; then
        as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
        chmod 755 "$WORK"
    fi
    mkdir "$WORK/ro" && chmod 555 "$WORK/ro"
    cp "$WORK/old.bat" "$WORK/ro.bat" && chmod 444 "$WORK/ro.bat"
    for file in ro/out.bat ro.bat; do
        start 80 24 "X=abc $as_user $FILLIN -v x -f $file -t 1"
        check "read-only $file: exit code" 3 "$(wait_exit 15)"
    done
    check "read-only: nothing written" "missing $(bytes "$WORK/old.bat")" "$(bytes "$WORK/ro/out.bat") $(bytes "$WORK/ro.bat")"
    # -m: the file is its owner's alone, also where it was readable by all.
    touch "$WORK/pw.sh" && chmod 644 "$WORK/pw.sh"
    start 80 24 "X= $FILLIN -m -v X -f pw.sh -p 'V: '"
    wait_for "V: " 5
    literal s3cret
    keys Enter
    wait_exit 15 >/dev/null
    check "-m: owner only" "600 export X='s3cret'" "$(stat -c %a "$WORK/pw.sh") $(cat "$WORK/pw.sh")"
fi

# ---- Typing: wait for the prompt, type, Enter.
while IFS=: read -r name env args typed file; do
    [ -z "$name" ] && continue
    fill "$env" "-p 'V: ' $args"
    wait_for "V: ${env#X=}" 5
    literal "$typed"
    keys Enter
    expect "$name" 0 "$file"
done <<'CASES'
editing, then Enter:X=abc::d:SET X=abcd\r\n
-m cancels -n:X=:-m -n:s1:SET X=s1\r\n
-n takes digits only:X=:-n:1a2:SET X=12\r\n
-u upper-cases typed letters:X=:-u:ab1:SET X=AB1\r\n
-b puts the cursor first:X=bc:-b:a:SET X=abc\r\n
-o overtypes:X=abc:-b -o:X:SET X=Xbc\r\n
CASES
fill "X=abc" "-p 'V: ' -m"
wait_for "V: " 5
literal "xyz"
shows "-m shows asterisks" "V: ***"
keys BSpace Enter
expect "Backspace" 0 'SET X=xy\r\n'
fill "X=abc" "-t 1 -p 'V: '"
wait_for "V: abc" 5
literal "d"
sleep 1.5
keys Enter
expect "a key before the time-out: editing goes on" 0 'SET X=abcd\r\n'

# ---- abc, Enter, def, Enter in one write (a paste): the first Enter does
# not accept, and the next reader (SET /P, the shell's read) gets only what
# is typed after fillin.
rm -f "$OUT"
if $IS_WINDOWS; then
    winpath() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
    printf '@echo off\r\n%s -v x -f %s -p "V: "\r\nset /p rest=Left: \r\necho rest=[%%rest%%]\r\n' \
        "$(winpath "$BIN/fillin/fillin$EXE")" "$(winpath "$OUT")" >"$WORK/burst.bat"
    start 80 24 "$RUN cmd /c '$(winpath "$WORK/burst.bat")'"
else
    start 80 24 "$FILLIN -v x -f out.bat -p 'V: '; printf 'Left: '; read -r rest; echo \"rest=[\$rest]\""
fi
wait_for "V: " 15
hex 61 62 63 0d 64 65 66 0d
wait_for "V: abc" 5
keys Enter
wait_for "Left:" 15
literal z
keys Enter
expect "a burst" 0 'SET X=abc\r\n'
check "a burst: nothing of it left for the next reader" "V: abc|Left: z|rest=[z]" "$(screen_text | paste -sd '|')"

# Ctrl+C: under Wine the terminal's C-c is a signal, not a key; the inject
# helper writes it into the console as the key.
cp "$WORK/old.bat" "$OUT"
if $IS_WINDOWS; then
    fillin_win="Z:$BIN/fillin/fillin$EXE"
    start 80 24 "X=abc $RUN $BIN/tests/inject$EXE d,11,1d,0,8 d,43,2e,3,8 -- '${fillin_win//\//\\}' -v x -f out.bat"
else
    start 80 24 "X=abc $FILLIN -v x -f out.bat"
    wait_for "abc" 5
    keys C-c
fi
check "Ctrl+C: exit code" 1 "$(wait_exit 20)"
check "Ctrl+C: the old file stays" "$(bytes "$WORK/old.bat")" "$(bytes "$OUT")"

finish
