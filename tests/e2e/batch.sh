#!/usr/bin/env bash
# fillin's batch file as batch files use it, under Wine's own cmd: a batch
# file runs fillin, calls the file it wrote, runs fillin again on the
# variable (untouched, by the time-out), calls it again, and shows what
# the variable holds, with delayed expansion off and on.
# Wine 8's cmd does not apply delayed expansion's caret rule (^! gives ^
# there), so with delayed expansion on only values without "!" are run
# here; the unit tests' model of cmd checks the rest.
# targets: windows (cmd runs under Wine only)
. "$(dirname "$0")/lib.sh"

winpath() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
FILLIN_WIN=$(winpath "$BIN/fillin/fillin$EXE")
W=$(winpath "$WORK")

# round NAME MODE FLAGS VALUE HELD ECHOED: types VALUE into fillin, run with
# FLAGS by a batch file whose first line is MODE (setlocal with delayed
# expansion on or off); the variable then holds HELD ("set" shows it), and
# "echo %ZZV%" writes ECHOED (nothing given: not run, for a value made for
# quotes).
round() {
    local name=$1 mode=$2 flags=$3 value=$4 held=$5 echoed=${6-}
    {
        printf '@echo off\r\n%s\r\nset ZZV=\r\n' "$mode"
        printf '%s -v zzv -f "%s\\set_zzv.bat" -p "V: " %s\r\n' "$FILLIN_WIN" "$W" "$flags"
        printf 'call "%s\\set_zzv.bat"\r\n' "$W"
        printf '%s -v zzv -f "%s\\set_zzv.bat" -t 1 %s\r\n' "$FILLIN_WIN" "$W" "$flags"
        printf 'call "%s\\set_zzv.bat"\r\n' "$W"
        printf 'set ZZV>"%s\\held.txt"\r\n' "$W"
        [ -n "$echoed" ] && printf '>"%s\\echoed.txt" echo %%ZZV%%\r\n' "$W"
        printf 'if exist "%s\\set_zzv.bat" echo done\r\n' "$W"
    } >"$WORK/case.bat"
    rm -f "$WORK/held.txt" "$WORK/echoed.txt" "$WORK/set_zzv.bat"
    start 80 24 "$RUN cmd /c '$W\\case.bat'"
    wait_for "V: " 20
    literal "$value"
    keys Enter
    wait_for "done" 20
    check "$name: what the variable holds" "ZZV=$held"$'\r' "$(cat "$WORK/held.txt" 2>/dev/null)"
    if [ -n "$echoed" ]; then
        check "$name: what %ZZV% gives a command" "$echoed"$'\r' "$(cat "$WORK/echoed.txt" 2>/dev/null)"
    fi
}

OFF="setlocal DisableDelayedExpansion"
ON="setlocal EnableDelayedExpansion"

# By default the variable keeps a caret before each special character
# outside quotes, for %ZZV%; a second untouched pass changes nothing.
round "Hello!" "$OFF" "" 'Hello!' 'Hello!' 'Hello!'
round "p(ss)wd! -m" "$OFF" "-m" 'p(ss)wd!' 'p^(ss^)wd!'
# (Wine's cmd takes a "%" that %ZZV% brings in for one of its own: no echo.)
round "50%off & x!PATH!y" "$OFF" "" '50%off & x!PATH!y' '50%off ^& x!PATH!y'
round "quotes without growth" "$OFF" "" 'say "hi & bye"' 'say "hi & bye"' 'say "hi & bye"'
round "quotes and a \"!\"" "$OFF" "" 'go "a&b" & (c)!' 'go "a&b" ^& ^(c^)!' 'go "a&b" & (c)!'
round "delayed expansion, no \"!\"" "$ON" "" 'a&b (c) ^ "d|e"' 'a^&b ^(c^) ^^ "d|e"' 'a&b (c) ^ "d|e"'
# -e: exactly what was typed, for quoted use.
round "-e" "$OFF" "-e" 'C:\Program Files (x86)\App' 'C:\Program Files (x86)\App'
round "-e with \"!\"" "$OFF" "-e" 'a^b"c&d"!e%f' 'a^b"c&d"!e%f'
round "-e, delayed expansion" "$ON" "-e" 'x ^ & (y) "z&" 5%' 'x ^ & (y) "z&" 5%'

finish
