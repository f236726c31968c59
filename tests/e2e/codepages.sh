#!/usr/bin/env bash
# Other languages on Windows, under Wine: the locale gives Wine its code
# pages (ru_RU 1251/866, ja_JP 932/932, en_US 1252/437). A Cyrillic
# prompt and key list, Cyrillic and Japanese values typed, edited and
# written, a Japanese value whose trail bytes are cmd's special
# characters, a character the batch file's code page cannot hold, chcp
# before fillin, and Windows 9x's OEM command line.
# Wine's console gives a CJK character one cell where tmux draws two, so
# Japanese text is judged by the batch file's bytes, not by the screen.
# targets: windows (Windows code pages only)
. "$(dirname "$0")/lib.sh"

for locale in ru_RU ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qx "$locale.utf8"; then
        echo "codepages: the locale $locale.UTF-8 is missing (tests/install-deps.sh makes it)"
        exit 1
    fi
done

OUT=$WORK/out.bat
winpath() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
FILLIN_WIN=$(winpath "$BIN/fillin/fillin$EXE")
OUT_WIN=$(winpath "$OUT")

# file CODEPAGE: out.bat read in that code page, the CR LF shown as "|".
file() {
    local from=CP$1
    [ "$1" = 65001 ] && from=UTF-8
    if [ -f "$OUT" ]; then iconv -f "$from" -t UTF-8 "$OUT" | tr '\r\n' '~|' | sed 's/~|/|/g'; else echo missing; fi
}
# fill LOCALE ENV SHOWN: fillin in a fresh pane under the locale, once the
# screen shows SHOWN.
fill() {
    rm -f "$OUT"
    start 80 24 "LC_ALL=$1.UTF-8 $2 $FILLIN -v x -f out.bat -p 'Имя: '"
    wait_for "$3" 10
}
# in_cmd LOCALE CODEPAGE ENV SHOWN: fillin started by cmd after chcp.
in_cmd() {
    rm -f "$OUT"
    start 80 24 "LC_ALL=$1.UTF-8 $3 $RUN cmd /c 'chcp $2 >nul & $FILLIN_WIN -v x -f $OUT_WIN -p Name:'"
    wait_for "$4" 10
}
# Wine takes tmux's Home and End only in these forms.
home() { hex 1b 5b 48; }
end() { hex 1b 5b 46; }

# ---- pickit: a Cyrillic prompt and key list, the key typed as it is shown.
start 80 24 "LC_ALL=ru_RU.UTF-8 $PICKIT -k дн -p Продолжить?"
wait_for "[Д,Н]" 10
literal ф
literal д
check "pickit: д is the first key" 1 "$(wait_exit 10)"
check "pickit: prompt, keys and echo" "Продолжить? [Д,Н] Д" "$(screen_text)"

# ---- A Cyrillic value pre-filled, moved over, deleted and typed (cp866).
fill ru_RU "X=Привет" "Имя: Привет"
home
keys Right DC
literal ё
end
keys BSpace
literal ы
wait_for "Пёивеы" 5
check "Cyrillic edited on the screen" "Имя: Пёивеы" "$(screen_text)"
check_cursor "Cyrillic: the cursor after the text" "11 0"
keys Enter
check "Cyrillic: exit code" 0 "$(wait_exit 10)"
check "Cyrillic: batch file in cp866" "SET X=Пёивеы|" "$(file 866)"

# ---- Japanese (cp932): typed, moved over and deleted whole.
fill ja_JP "X=日本語" "日本語"
keys BSpace
literal 本ポ
keys Left Left BSpace Right
literal タ
keys Enter
check "Japanese: exit code" 0 "$(wait_exit 10)"
check "Japanese: batch file in cp932" "SET X=日本タポ|" "$(file 932)"

# ソ, タ and ポ end in the bytes 5C, 5E and 7C (\ ^ |): never escaped nor
# taken for carets; the real caret before & is removed and escaped again.
fill ja_JP "X='ソ^&タポ'" "ソ&タポ"
keys Enter
check "Japanese trail bytes: exit code" 0 "$(wait_exit 10)"
check "Japanese trail bytes: only & escaped" \
    "53 45 54 20 58 3d 83 5c 5e 5e 5e 26 83 5e 83 7c 0d 0a" "$(od -An -tx1 "$OUT" | tr -s ' \n' ' ' | sed 's/^ //;s/ $//')"

# ---- en_US (cp437): a value it cannot hold starts empty; such a key is
# refused, also one it would hold only as a look-alike (ā as a); é is taken.
fill en_US "X=Привет" "Имя:"
check "a value cp437 cannot hold starts empty" "Имя:" "$(screen_text)"
literal яā
literal é
keys Enter
check "refused key: exit code" 0 "$(wait_exit 10)"
check "refused key: only é written (82)" "SET X=é|" "$(file 437)"

rm -f "$OUT"
check "a name cp437 cannot hold is refused" "Environment variable name contains illegal characters"$'\r' \
    "$(LC_ALL=en_US.UTF-8 $FILLIN -v Имя -f "$OUT_WIN" </dev/null | head -1)"
check "no file for that name" missing "$(file 437)"

# ---- chcp: the batch file is in the console's code page when written.
in_cmd en_US 866 "X=Привет" "Name:Привет"
keys Enter
check "chcp 866: exit code" 0 "$(wait_exit 10)"
check "chcp 866: batch file in cp866" "SET X=Привет|" "$(file 866)"

in_cmd ru_RU 65001 "X=日本" "Name:日本"
literal ü😀
keys Enter
check "chcp 65001: exit code" 0 "$(wait_exit 10)"
check "chcp 65001: batch file in UTF-8, the emoji one character" "SET X=日本ü😀|" "$(file 65001)"

# ---- Windows 9x (a copy of fillin.exe that Wine tells so): the command
# line in the OEM code page, the value converted from ANSI to OEM.
WIN98_EXE=fillin98-$$.exe
cp "$BIN/fillin/fillin$EXE" "$WORK/$WIN98_EXE"
WIN98_KEY="HKCU\\Software\\Wine\\AppDefaults\\$WIN98_EXE"
eval "set -- $(trap -p EXIT)"
# shellcheck disable=SC2064  # the key and the earlier trap are meant to be expanded now
trap "\$WINE64 reg delete '$WIN98_KEY' /f >/dev/null 2>&1; $3" EXIT
$WINE64 reg add "$WIN98_KEY" /v Version /d win98 /f >/dev/null 2>&1
FILLIN="$RUN $WORK/$WIN98_EXE"
fill ru_RU "X=Привет" "Имя: Привет"
keys BSpace Enter
check "Win9x: exit code" 0 "$(wait_exit 10)"
check "Win9x: prompt and value in cp866" "Имя: Приве|SET X=Приве|" "$(screen_text | head -1)|$(file 866)"

finish
