#!/usr/bin/env bash
# Faults and bad input from outside: standard output that cannot take a
# byte, a batch file that cannot be written, huge and many arguments,
# values at and beyond the line's limit, a full key list and a paste faster
# than the program reads.
. "$(dirname "$0")/lib.sh"
set -f  # arguments such as "/?" are no patterns

OUT=$WORK/out.bat

# rep CHAR N: the character N times.
rep() { printf "%$2s" '' | tr ' ' "$1"; }
# bytes FILE: the file's bytes in hex, or "missing".
bytes() { if [ -f "$1" ]; then od -An -tx1 "$1" | tr -s ' \n' ' '; else echo missing; fi; }
hexof() { printf '%s' "$1" | od -An -tx1 | tr -s ' \n' ' '; }
# script NAME LINE: a script of one command line in $WORK, for command
# lines longer than tmux takes.
script() { printf '%s\n' "$2" >"$WORK/$1"; }

# Windows passes at most 32767 characters of command line, and of a
# variable's value: there the huge cases use 30000, or 15000 for each of two.
HUGE=100000
HALF=100000
$IS_WINDOWS && HUGE=30000 HALF=15000

# ---- Standard output that takes nothing: "Runtime error 101", exit code
# 101, at the first write, wherever that is; nothing waits for a key. (On
# POSIX the error messages are written to standard error.)
ERR=
$IS_WINDOWS || ERR="2>/dev/full"
while IFS=: read -r name command; do
    [ -z "$name" ] && continue
    rm -f "$OUT"
    start 80 24 "$command > /dev/full"
    check "full standard output, $name: exit code" 101 "$(wait_exit 20)"
    check "full standard output, $name: no batch file" missing "$(bytes "$OUT")"
done <<CASES
pickit's prompt:$PICKIT -k ab
pickit's error message:$PICKIT -d Q $ERR
fillin's usage:$FILLIN -h
fillin's error message:$FILLIN -f out.bat $ERR
fillin's prompt:X=abc $FILLIN -v x -f out.bat -p 'V: '
fillin's field:X=abc $FILLIN -v x -f out.bat
CASES

# ---- A batch file that cannot be written even by root: an immutable
# folder and an immutable file. Exit code 3, and nothing written.
printf 'old\r\n' >"$WORK/old.bat"
if [ "$(id -u)" != 0 ]; then
    echo "skipped: immutable batch file and folder (chattr needs root)"
elif ! { mkdir "$WORK/ro" && chattr +i "$WORK/ro" 2>/dev/null; }; then
    echo "skipped: immutable batch file and folder (this file system has no chattr +i)"
else
    cp "$WORK/old.bat" "$WORK/ro.bat" && chattr +i "$WORK/ro.bat"
    eval "set -- $(trap -p EXIT)"
    # shellcheck disable=SC2064 # the names are this run's, known now
    trap "chattr -i '$WORK/ro' '$WORK/ro.bat' 2>/dev/null; $3" EXIT
    for file in ro/out.bat ro.bat; do
        start 80 24 "X=abc $FILLIN -v x -f $file -t 1"
        check "immutable $file: exit code" 3 "$(wait_exit 20)"
        check "immutable $file: refused before the prompt" $'Cannot open file for output\nUse -h for help' "$(screen_text)"
    done
    check "immutable: nothing written" "missing $(bytes "$WORK/old.bat")" \
        "$(bytes "$WORK/ro/out.bat") $(bytes "$WORK/ro.bat")"
    chattr -i "$WORK/ro" "$WORK/ro.bat"
fi

# ---- Huge arguments are cut to 255 characters.
script huge.sh "$PICKIT -n -q -p $(rep p $HUGE)"
start 80 24 "bash huge.sh"
wait_for "$(rep p 15)" 20
check "a huge prompt: 255 characters" "$(rep p 80)|$(rep p 80)|$(rep p 80)|$(rep p 15)" \
    "$(screen_text | paste -sd '|')"
keys y
check "a huge prompt: exit code" 1 "$(wait_exit 20)"

# The 255th key gives 255, as Ctrl+C does; its echo tells them apart. A
# 256th key is cut off and refused.
for list in "$(rep A 254)B" "$(rep A 254)B$(rep C $((HUGE - 255)))"; do
    script keys.sh "$PICKIT -n -p '>' -k $list"
    start 80 24 "bash keys.sh"
    wait_for ">" 20
    keys c b
    check "a list of ${#list} keys: the 255th key" 255 "$(wait_exit 20)"
    check "a list of ${#list} keys: echo" ">B" "$(screen_text)"
done

# A 255-character name, a file name of 300 characters used whole (not on
# Windows, where it exceeds the longest path) and a prompt of 255
# characters.
name=$(rep V 255)
file=out.bat
if ! $IS_WINDOWS; then
    file=$(rep d 150)/$(rep f 145).bat
    mkdir -p "$WORK/$(rep d 150)"
fi
script huge.sh "env $name=abc $FILLIN -v $(rep v $HALF) -f $file -p $(rep p $HALF) -t 1"
rm -f "$WORK/$file"
start 80 24 "bash huge.sh"
check "fillin, huge arguments: exit code" 0 "$(wait_exit 20)"
check "fillin, huge arguments: the file named by ${#file} characters" "$(hexof "SET $name=abc"$'\r\n')" \
    "$(bytes "$WORK/$file")"
check "fillin, huge arguments: nothing else written" "" "$(find "$WORK" -name '.fillin-*' -o -name 'fillin-*.tmp')"
check "fillin, huge arguments: the prompt" "$(rep p 80)|$(rep p 80)|$(rep p 80)|$(rep p 15)abc" \
    "$(screen_text | paste -sd '|')"
# A file name the system cannot take is a file that cannot be opened.
script huge.sh "X=abc $FILLIN -v x -f $(rep f $HUGE) -t 1"
start 80 24 "bash huge.sh"
check "fillin, a file name of $HUGE characters: exit code" 3 "$(wait_exit 20)"
check "fillin, a file name of $HUGE characters: message" $'Cannot open file for output\nUse -h for help' \
    "$(screen_text)"

# ---- 10,000 arguments: every one is looked at.
script many.sh "$PICKIT $(rep x 9995 | sed 's/x/x /g') -n -p '>' -k Z"
start 80 24 "bash many.sh"
wait_for ">" 20
keys z
check "pickit, 10,000 arguments: the last options count" 1 "$(wait_exit 20)"
check "pickit, 10,000 arguments: echo" ">Z" "$(screen_text)"
rm -f "$OUT"
script many.sh "X=abc $FILLIN $(rep u 9994 | sed 's/u/-u /g') -v x -f out.bat -t 1"
start 80 24 "bash many.sh"
check "fillin, 10,000 arguments: exit code" 0 "$(wait_exit 20)"
check "fillin, 10,000 arguments: every -u counted" "$(hexof $'SET X=ABC\r\n')" "$(bytes "$OUT")"

# ---- A current value that fills what the line leaves for it (2040
# characters beside the name X) is taken whole; a longer one starts the
# editor empty, since cut and written back it would lose its end, unless
# -l asks for the cut.
# length : -l : exit code : characters written.
while IFS=: read -r length limit code kept; do
    [ -z "$length" ] && continue
    rm -f "$OUT"
    value=$(seq -w 1 99999 | tr -d '\n' | head -c "$length")
    script value.sh "X=$value $FILLIN -v x -f out.bat -t 1 $limit"
    start 100 30 "bash value.sh"
    check "a value of $length characters $limit: exit code" "$code" "$(wait_exit 20)"
    want=missing
    [ "$kept" != - ] && want=$(hexof "SET X=${value:0:$kept}"$'\r\n')
    check "a value of $length characters $limit: the file" "$want" "$(bytes "$OUT")"
done <<CASES
2040::0:2040
2045::2:-
2045:-l 10:0:10
$HUGE::2:-
CASES

# ---- A write that fails after the file was made (a file-size limit)
# leaves the old file as it was, and nothing beside it.
if ! $IS_WINDOWS; then
    printf "export HOME='/home/precious'\n" >"$WORK/keep.sh"
    cp "$WORK/keep.sh" "$WORK/keep.orig"
    # The message straight to the terminal: the limit holds for every file,
    # the one that keeps a sanitizer pane's standard error too.
    start 80 24 "bash -c 'ulimit -f 0; $FILLIN -v HOME -f keep.sh -t 1 2>/dev/tty'"
    check "a file-size limit: exit code" 101 "$(wait_exit 20)"
    wait_for "Runtime error 101" 5
    check "a file-size limit: the message" "Runtime error 101" "$(screen_text | tail -1)"
    check "a file-size limit: the old file" "$(bytes "$WORK/keep.orig")" "$(bytes "$WORK/keep.sh")"
    check "a file-size limit: nothing left beside it" "" "$(find "$WORK" -maxdepth 1 -name '.fillin-*')"
fi

# ---- Written in place (a folder the user may not write): a write that
# fails on a full file system or past a file-size limit leaves the old file
# byte for byte; -m makes the file the owner's alone before the value goes
# in, and where it cannot, refuses before the prompt. As nobody, since root
# may write any folder; the small file system is mounted where root may.
if ! $IS_WINDOWS && [ "$(id -u)" = 0 ]; then
    as_nobody="setpriv --reuid=65534 --regid=65534 --clear-groups"
    # 2040 characters of three bytes: more than the room left on the
    # small file system, and than the size limit.
    script big.sh "export v=$(printf '漢%.0s' $(seq 2040))"
    mkdir "$WORK/small" && chmod 755 "$WORK"
    if ! mount -t tmpfs -o size=16k tmpfs "$WORK/small" 2>/dev/null; then
        echo "skipped: a full file system (tmpfs cannot be mounted here)"
    else
        eval "set -- $(trap -p EXIT)"
        # shellcheck disable=SC2064 # the folder is this run's, known now
        trap "umount '$WORK/small' 2>/dev/null; $3" EXIT
        printf "export v='old'\n" >"$WORK/small/v.sh"
        head -c 1M /dev/zero >"$WORK/small/filler" 2>/dev/null
        chown 65534 "$WORK/small/v.sh" && chmod 555 "$WORK/small"
        start 80 24 ". ./big.sh; $as_nobody $FILLIN -v v -f small/v.sh -t 1"
        check "in place, a full file system: exit code" 101 "$(wait_exit 20)"
        check "in place, a full file system: the message" "Runtime error 101" "$(screen_text | tail -1)"
        check "in place, a full file system: the old file" "$(hexof "export v='old'"$'\n')" "$(bytes "$WORK/small/v.sh")"
        umount "$WORK/small"
    fi
    printf "export v='old'\n" >"$WORK/small/v.sh"
    cp "$WORK/small/v.sh" "$WORK/small/mine.sh"
    chown 65534 "$WORK/small/v.sh" "$WORK/small/mine.sh" && chmod 644 "$WORK/small/mine.sh"
    cp "$WORK/small/v.sh" "$WORK/small/roots.sh" && chmod 666 "$WORK/small/roots.sh"
    chmod 555 "$WORK/small"
    start 80 24 ". ./big.sh; $as_nobody bash -c 'ulimit -f 1; $FILLIN -v v -f small/v.sh -t 1'"
    check "in place, a file-size limit: exit code" 101 "$(wait_exit 20)"
    check "in place, a file-size limit: the old file" "$(hexof "export v='old'"$'\n')" "$(bytes "$WORK/small/v.sh")"
    start 80 24 "$as_nobody $FILLIN -m -v v -f small/mine.sh -p 'V: '"
    wait_for "V: " 20
    literal s3cret
    keys Enter
    wait_exit 20 >/dev/null
    check "in place, -m: the owner's alone" "600 $(hexof "export v='s3cret'"$'\n')" \
        "$(stat -c %a "$WORK/small/mine.sh") $(bytes "$WORK/small/mine.sh")"
    start 80 24 "$as_nobody $FILLIN -m -v v -f small/roots.sh -p 'V: '"
    check "in place, -m, another's file: exit code" 3 "$(wait_exit 20)"
    check "in place, -m, another's file: refused before the prompt" "Cannot open file for output|Use -h for help|666" \
        "$(screen_text | paste -sd '|')|$(stat -c %a "$WORK/small/roots.sh")"
fi

# ---- A closed standard output takes no value: the secret is not shown
# on the terminal, which would take its number.
if ! $IS_WINDOWS; then
    start 80 24 "$FILLIN -m -v v -f - -p 'V: ' >&-"
    wait_for "V: " 20
    literal s3cret
    keys Enter
    check "a closed standard output: exit code" 101 "$(wait_exit 20)"
    check "a closed standard output: the message, not the value" "V: ******|Runtime error 101" \
        "$(screen_text | paste -sd '|')"
fi

# ---- A paste of 5,000 characters, faster than the editor reads: none of
# them is lost up to the limit (2040 beside the name X), the rest is
# dropped.
paste=$(seq -w 1 9999 | tr -d '\n' | head -c 5000)
rm -f "$OUT"
start 200 50 "$FILLIN -v x -f out.bat -p 'V: '"
wait_for "V:" 20
literal "$paste"
# The field ends 3 + 2040 cells from the left edge: row 10, column 43.
for ((i = 0; i < 300; i++)); do
    [ "$(cursor)" == "43 10" ] && break
    sleep 0.1
done
# Enter comes behind the 2,960 characters that no longer fit, each read and
# refused first: Wine's console hands them over at some 3,000 a second on
# an idle machine, and several times slower when every core is busy.
keys Enter
check "a paste of 5,000: exit code" 0 "$(wait_exit 90)"
check "a paste of 5,000: the first 2040 written" "$(hexof "SET X=${paste:0:2040}"$'\r\n')" "$(bytes "$OUT")"

# ---- A character beyond ISO-8859-1 typed in a UTF-8 terminal is that
# character, never the control key its low byte would be.
if ! $IS_WINDOWS; then
    start 80 24 "LC_ALL=C.UTF-8 $PICKIT -p '>'"
    wait_for ">" 20
    literal "ă"  # U+0103: its low byte is Ctrl+C
    keys y
    check "U+0103 typed into pickit is no key of the list" 1 "$(wait_exit 20)"
    rm -f "$OUT"
    start 80 24 "LC_ALL=C.UTF-8 X=ab $FILLIN -v x -f out.bat -p '>'"
    wait_for ">ab" 20
    literal "č"  # U+010D: its low byte is Enter
    literal "c"
    keys Enter
    wait_exit 20 >/dev/null
    check "U+010D typed into fillin is itself" "$(hexof $'SET X=abčc\r\n')" "$(bytes "$OUT")"
fi

finish
