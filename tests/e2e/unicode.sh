#!/usr/bin/env bash
# Both programs on a UTF-8 terminal: characters of every script typed, moved
# over, deleted and written exactly; wide characters at the right edge; the
# options that count or map characters; pickit's key list; the locales that
# decide between UTF-8 and bytes.
# targets: posix (POSIX terminals only; Windows code pages: codepages.sh)
. "$(dirname "$0")/lib.sh"

OUT=$WORK/out.bat
# The file's line without SET X= and the line end.
value() { [ -f "$OUT" ] && sed -e 's/^SET X=//' -e 's/\r$//' "$OUT" || echo missing; }
# The file's bytes in hex.
hexfile() { [ -f "$OUT" ] && od -An -tx1 "$OUT" | tr -s ' \n' ' ' || echo missing; }
row() { screen | sed -n "${1}p" | sed 's/ *$//'; }

# ---- Each text typed between "a" and "z", moved over and deleted.
# name : text : characters : width in cells (emoji sequences as tmux draws
# them, which the program learns by asking it)
while IFS=: read -r name text count width; do
    [ -z "$name" ] && continue
    rm -f "$OUT"
    start 80 24 "X= $FILLIN -v x -f '$OUT' -p '>'"
    wait_for ">" 10; sleep 0.2
    literal "a"; literal "$text"; literal "z"
    wait_for "z" 5
    [ -n "$width" ] && check "$name: shown" ">a${text}z" "$(row 1)"
    keys Home
    for ((i = 0; i <= count; i++)); do keys Right; done
    [ -n "$width" ] && check_cursor "$name: Right over it to z" "$((2 + width)) 0"
    keys DC Home Right BSpace
    [ -n "$width" ] && check_cursor "$name: Del z, Backspace a" "1 0"
    keys End
    [ -n "$width" ] && check_cursor "$name: End after it" "$((1 + width)) 0"
    keys Enter
    check "$name: exit code" 0 "$(wait_exit 10)"
    check "$name: written exactly" "$text" "$(value)"
    rm -f "$OUT"
    start 80 24 "X='a${text}z' $FILLIN -v x -f '$OUT' -p '>'"
    wait_for ">a" 10; sleep 0.2
    keys Home Right
    for ((i = 0; i < count; i++)); do keys DC; done
    keys Enter
    wait_exit 10 >/dev/null
    check "$name: Del, once per character, removes it whole" "az" "$(value)"
done <<'CASES'
Cyrillic:Продолжить:10:10
Greek:Καλημέρα:8:8
CJK:中文字:3:6
e and a combining acute:é:1:1
an emoji with a skin tone:👍🏽:1:4
a family ZWJ sequence:👨‍👩‍👧:1:2
a flag:🇩🇪:1:2
CASES

# ---- A wide character arriving at column 80 starts the next row; the cell
# it leaves stays blank. Deleting before it lets it come back.
rm -f "$OUT"
prompt=$(printf '%078d' 0 | tr 0 p)
start 80 24 "X= $FILLIN -v x -f '$OUT' -p $prompt"
wait_for "ppp" 10; sleep 0.2
literal "a"; literal "中文"
wait_for "文" 5
check "wrap: a in column 79, 中 on the next row" "${prompt}a|中文" "$(row 1)|$(row 2)"
check_cursor "wrap: cursor after 文" "4 1"
keys Left Left
check_cursor "wrap: Left twice reaches 中 in column 1" "0 1"
keys Left
check_cursor "wrap: Left again goes to a in column 79" "78 0"
keys Right BSpace
check "wrap: without a, 中 fits the last two columns" "${prompt}中|文" "$(row 1)|$(row 2)"
check_cursor "wrap: cursor on 中" "78 0"
keys Enter
check "wrap: file" "中文" "$(value)"

# ---- -l, -m and -u count and map characters.
# name : options : typed : file : the field as shown
while IFS=: read -r name options typed file shown; do
    [ -z "$name" ] && continue
    rm -f "$OUT"
    start 80 24 "X= $FILLIN -v x -f '$OUT' -p '>' $options"
    wait_for ">" 10; sleep 0.2
    literal "$typed"
    sleep 0.2
    check "$name: shown" ">$shown" "$(row 1)"
    keys Enter
    wait_exit 10 >/dev/null
    check "$name: file" "$file" "$(value)"
done <<'CASES'
-l counts characters:-l 3:中é文д:中é文:中é文
-m shows a star per character:-m:中é👍🏽:中é👍🏽:***
-u upper-cases every letter:-u:дéωz:ДÉΩZ:ДÉΩZ
CASES

# ---- pickit: a list of Cyrillic keys, folded unless -s.
start 80 24 "$PICKIT -k дн -p Продолжить?"
wait_for "[" 10; sleep 0.2
check "pickit: the prompt and keys" "Продолжить? [Д,Н]" "$(row 1)"
literal "д"
check "pickit: д chooses the first key" 1 "$(wait_exit 10)"
check "pickit: the echo shows the key" "Продолжить? [Д,Н] Д" "$(row 1)"
start 80 24 "$PICKIT -s -k дН"
wait_for "[" 10; sleep 0.2
literal "Д"; literal "н"; literal "Н"
check "pickit -s: only the listed forms count" 2 "$(wait_exit 10)"
check "pickit -s: screen" "[д,Н] Н" "$(row 1)"
start 80 24 "$PICKIT -k '€\$' -t '\$,1'"
check "pickit: a time-out key after a three-byte one" 2 "$(wait_exit 10)"
check "pickit: its echo" "[€,\$] \$" "$(row 1)"

# ---- LANG=C on a UTF-8 terminal is UTF-8 too.
rm -f "$OUT"
start 80 24 "LC_ALL= LANG=C X= $FILLIN -v x -f '$OUT' -p '>'"
wait_for ">" 10; sleep 0.2
literal "é€中"
wait_for "中" 5
check "LANG=C: shown" ">é€中" "$(row 1)"
check_cursor "LANG=C: cursor after 中" "5 0"
keys Left BSpace
check "LANG=C: Backspace removes €" ">é中" "$(row 1)"
keys Enter
wait_exit 10 >/dev/null
check "LANG=C: file" "é中" "$(value)"

# ---- A locale that names another codeset passes bytes unchanged (the
# locale need not be installed: its name decides).
rm -f "$OUT"
start 80 24 "LC_ALL= LANG=de_DE.ISO-8859-1 X=\$(printf 'caf\\351') $FILLIN -v x -f '$OUT' -p '>'"
wait_for ">" 10; sleep 0.2
hex e9
keys Enter
wait_exit 10 >/dev/null
check "ISO-8859-1: value and typed byte unchanged" "$(printf 'SET X=caf\351\351\r\n' | od -An -tx1 | tr -s ' \n' ' ')" \
    "$(hexfile)"
finish
