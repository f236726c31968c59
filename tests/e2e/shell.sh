#!/usr/bin/env bash
# fillin for shell scripts: real bash, dash, zsh and fish source the NAME.sh
# and NAME.fish files fillin writes; names a shell line cannot hold are
# refused; the SET line stays as it was; --help and --version on both
# programs; and (natively) the completion for bash, zsh and fish.
. "$(dirname "$0")/lib.sh"

VERSION=$(sed -n 's/^project([^ ]* VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
COMPLETION=$ROOT/completion

# bytes FILE: the file's bytes in hex, or "missing".
bytes() { if [ -f "$1" ]; then od -An -tx1 "$1" | tr -s ' \n' ' '; else echo missing; fi; }

# ---- --help and --version, as the whole first word.
for program in pickit fillin; do
    run=$PICKIT
    [ $program = fillin ] && run=$FILLIN
    out=$($run --version </dev/null)
    check "$program --version: exit code" 0 "$?"
    check "$program --version: one line" "$program $VERSION$EOL" "$out"
    out=$($run --version -k a </dev/null)
    check "$program --version with more words" "$program $VERSION$EOL" "$out"
    help=$($run --help </dev/null)
    check "$program --help: exit code" 0 "$?"
    check "$program --help is -h" "$($run -h </dev/null)" "$help"
done
# Not first: on Windows a cluster of switches as always (-s -n for pickit,
# which then waits for a key in line mode... here it is given one); on
# POSIX a long option, wherever it stands.
if $IS_WINDOWS; then
    start 80 24 "$PICKIT -k ab --version"
    wait_for "a" 5
    keys b
    check "pickit -k ab --version: a key, no version" 2 "$(wait_exit 15)"
else
    check "pickit -k ab --version" "pickit $VERSION" "$($PICKIT -k ab --version </dev/null)"
fi

# ---- Values the shells must get back exactly. Each runs fillin with the
# value pre-set in x, presses Enter, and sources the file in each shell.

# fill FILE: fillin -v x -f FILE, x holding $WORK/value; Enter once the
# editor shows the value's end.
fill() {
    local shown
    shown=$(sed 's/ *$//' "$WORK/value")
    rm -f "$WORK/$1"
    start 200 30 "x=\"\$(cat value)\" $FILLIN -v x -f $1 -p 'V: '"
    wait_for "V: " 10
    wait_for "${shown: -6}" 10
    keys Enter
    wait_exit 15
}
# sourced SHELL FILE: what the shell holds in x after sourcing the file.
sourced() {
    case $1 in
    fish) F=$2 fish --no-config -c 'source $F; printf "[%s]" $x' ;;
    zsh) zsh -f -c '. "$1"; printf "[%s]" "$x"' zsh "$2" ;;
    *) "$1" -c '. "$1"; printf "[%s]" "$x"' "$1" "$2" ;;
    esac
}
# check_value NAME VALUE: written through both forms, read back by every shell.
check_value() {
    local name=$1 value=$2 shell
    printf '%s' "$value" >"$WORK/value"
    check "$name: .sh exit code" 0 "$(fill x.sh)"
    for shell in bash dash zsh; do
        check "$name: $shell" "[$value]" "$(sourced $shell "$WORK/x.sh")"
    done
    check "$name: .fish exit code" 0 "$(fill x.fish)"
    check "$name: fish" "[$value]" "$(sourced fish "$WORK/x.fish")"
}

specials='it'\''s "q" $HOME $(id) `id` a\b \'\'' \\ !x ;&|<>*?[]~#%P%% ^(){}= end\'
check_value "specials" "$specials"
check_value "blanks at both ends" "  two  blanks  "
long=
for ((i = 0; i < 255; i++)); do long+="a'\\\" \$%!"; done
check "the long value is 2040 characters" 2040 "${#long}"
check_value "2040 characters" "$long"
check "2040 characters: one line, LF" "1 0" "$(wc -l <"$WORK/x.fish") $(tr -cd '\r' <"$WORK/x.fish" | wc -c)"
if ! $IS_WINDOWS; then
    # The terminal speaks UTF-8: the value as typed, in UTF-8.
    check_value "UTF-8" "Grüße, Łódź € 中文 👍🏽 é"
fi

# Typed, not pre-set: the exact line.
rm -f "$WORK/t.sh"
start 200 30 "x= $FILLIN -v x -f t.sh -p 'V: '"
wait_for "V: " 10
literal "I'm \"here\" \$x \\"
keys Enter
check "typed: exit code" 0 "$(wait_exit 15)"
check "typed: the line" "$(printf '%s\n' "export x='I'\\''m \"here\" \$x \\'" | od -An -tx1 | tr -s ' \n' ' ')" \
    "$(bytes "$WORK/t.sh")"
check "typed: dash" "[I'm \"here\" \$x \\]" "$(sourced dash "$WORK/t.sh")"

# The name as typed; the variable exported.
printf 'Ann' >"$WORK/value"
start 80 24 "myName=Ann $FILLIN -v myName -f n.sh -t 1"
check "the name's case is kept: exit code" 0 "$(wait_exit 15)"
check "the name's case is kept, exported" "Ann" "$(sh -c '. "$1"; exec printenv myName' sh "$WORK/n.sh")"
if ! $IS_WINDOWS; then
    # POSIX names are case-sensitive: only the shell forms look up myName.
    start 80 24 "MYNAME=Bob myName=Ann $FILLIN -v myName -f n.fish -t 1"
    check "lookup by the exact name: exit code" 0 "$(wait_exit 15)"
    check "lookup by the exact name" "set -gx myName 'Ann'" "$(cat "$WORK/n.fish")"
fi

# The README's example, run by dash and by fish.
start 80 24 "name=Ann dash -c 'tmp=\$(mktemp -d); $FILLIN -v name -f \"\$tmp/name.sh\" -p \"Name: \" && . \"\$tmp/name.sh\"; echo \"Hello, \$name.\"'"
wait_for "Name: Ann" 10
literal "ie"
keys Enter
wait_for "Hello" 10
check "sh example" "Hello, Annie." "$(screen_text | grep Hello)"
start 80 24 "fish --no-config -c 'set -gx name Ann; set tmp (mktemp -d); $FILLIN -v name -f \$tmp/name.fish -p \"Name: \"; and source \$tmp/name.fish; echo \"Hello, \$name.\"'"
wait_for "Name: Ann" 10
literal "ie"
keys Enter
wait_for "Hello" 10
check "fish example" "Hello, Annie." "$(screen_text | grep Hello)"

# ---- Each POSIX shell's own file name gets the export line: a command
# substitution in the value stays text when the shell sources it.
value='$(touch ran1) `touch ran2` ${x:=ran3}'
printf '%s' "$value" >"$WORK/value"
for shell in bash zsh ksh dash; do
    command -v $shell >/dev/null || continue
    check "x.$shell: exit code" 0 "$(fill x.$shell)"
    check "x.$shell: sourced by $shell" "[$value]" "$(cd "$WORK" && sourced $shell "$WORK/x.$shell")"
    check "x.$shell: nothing ran" "" "$(cd "$WORK" && ls ran* 2>/dev/null)"
done

# ---- -f -: the value alone on standard output, for $(...), while the
# prompt and the typing are on the terminal. (The scripts take off the CR
# that a Windows program's line end leaves.)
start 80 24 "name=Ann bash -c 'name=\$($FILLIN -v name -f - -p \"Name: \"); echo \"[\${name%[[:cntrl:]]}] \$?\"'"
wait_for "Name: Ann" 10
literal "ie's \$x"
keys Enter
wait_for "]" 10
check "bash \$(fillin -f -): the prompt on the terminal, the value captured" \
    "Name: Annie's \$x|[Annie's \$x] 0" "$(screen_text | paste -sd '|')"
start 80 24 "fish --no-config -c 'set -gx name Ann; set name ($FILLIN -v name -f - -p \"Name: \"); set rc \$status; echo [(string trim -r -c \\r -- \$name)] \$rc'"
wait_for "Name: Ann" 10
literal "ie"
keys Enter
wait_for "]" 10
check "fish (fillin -f -)" "Name: Annie|[Annie] 0" "$(screen_text | paste -sd '|')"
# Exactly the value and one line end; the messages on the terminal too.
rm -f "$WORK/stdout"
start 80 24 "x='a b&c%' $FILLIN -v x -f - -t 1 -p 'V: ' > stdout"
check "-f - to a file: exit code" 0 "$(wait_exit 15)"
eol='\n'
$IS_WINDOWS && eol='\r\n'
check "-f - to a file: the value alone" "$(printf "a b&c%%$eol" | od -An -tx1 | tr -s ' \n' ' ')" "$(bytes "$WORK/stdout")"
check "-f - to a file: the dialogue on the terminal" "V: a b&c%" "$(screen_text)"
start 80 24 "$FILLIN -f - > stdout"
check "-f - with an error: exit code" 3 "$(wait_exit 15)"
check "-f - with an error: the message on the terminal, nothing on standard output" \
    "Environment variable name not specified|Use -h for help|missing" "$(screen_text | paste -sd '|')|$([ -s "$WORK/stdout" ] && echo written || echo missing)"

if $IS_WINDOWS; then
    # A batch file reads it with for /f, from the console's code page.
    win() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
    printf '@echo off\r\nset name=Ann\r\nfor /f "usebackq delims=" %%%%v in (`%s -v name -f - -p "Name: "`) do set "name=%%%%v"\r\necho Hello, [%%name%%]\r\n' \
        "$(win "$BIN/fillin/fillin$EXE")" >"$WORK/forf.bat"
    start 80 24 "$RUN cmd /c '$(win "$WORK/forf.bat")'"
    wait_for "Name: Ann" 20
    literal "ie Smith"
    keys Enter
    wait_for "Hello" 20
    check "for /f: the prompt on the console, the value in the variable" "Name: Annie Smith|Hello, [Annie Smith]" \
        "$(screen_text | paste -sd '|')"
fi

# ---- Names a shell line cannot hold: exit code 3, the old file untouched.
printf 'old\n' >"$WORK/old"
for file in out.sh out.fish OUT.SH; do
    for name in 'a;b' 'a-b' '$x' 'a b' '1x' 'x;rm -rf ~;y' 'a$(id)'; do
        cp "$WORK/old" "$WORK/$file"
        rc=$(cd "$WORK" && $FILLIN -v "$name" -f "$file" -t 1 </dev/null >/dev/null; echo $?)
        check "-v '$name' -f $file: exit code, file" "3 $(bytes "$WORK/old")" "$rc $(bytes "$WORK/$file")"
    done
done
check "the message" "Environment variable name not valid for a shell script$EOL"$'\n'"Use -h for help$EOL" \
    "$(cd "$WORK" && messages $FILLIN -v 'a;b' -f out.sh)"
rm -f "$WORK/new.sh"
(cd "$WORK" && $FILLIN -v 'a;b' -f new.sh </dev/null >/dev/null)
check "a refused name creates no file" missing "$(bytes "$WORK/new.sh")"

# ---- The SET line, byte for byte as before, for a batch file's name, and
# for every other name on Windows; on POSIX the other names get the export
# line (as a mktemp name does).
value='a&b%c '\''q'\'' "d"'
set_line="SET NAME=a&b%%c 'q' \"d\"\r\n"
$IS_WINDOWS && set_line="SET NAME=a^^^&b%%c 'q' \"d\"\r\n"
other_line=$set_line
$IS_WINDOWS || other_line="export name='a&b%c '\\\\''q'\\\\'' \"d\"'\n"
for file in out.bat OUT.CMD out; do
    rm -f "$WORK/$file"
    printf '%s' "$value" >"$WORK/value"
    start 80 24 "NAME=\"\$(cat value)\" name=\"\$(cat value)\" $FILLIN -v name -f $file -t 1"
    check "$file: exit code" 0 "$(wait_exit 15)"
    line=$set_line
    [ $file = out ] && line=$other_line
    check "$file: the line" "$(printf '%b' "$line" | od -An -tx1 | tr -s ' \n' ' ')" "$(bytes "$WORK/$file")"
done

# ---- Completion: the shells' own machinery, natively only (it does not
# depend on the target).
if [ "$TARGET" = native ]; then
    # bash: the function fills COMPREPLY from COMP_WORDS.
    complete_bash() {  # complete_bash PROGRAM WORD...: the offers for the last word
        local program=$1
        bash --norc --noprofile -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1));
            _$1; for offer in "${COMPREPLY[@]}"; do printf "%s\n" "$offer"; done | sort | tr "\n" " "' \
            bash "$COMPLETION/$program.bash" "${@:2}"
    }
    check "bash: pickit -" "--help --version -c -d -h -k -l -n -p -q -s -t " "$(complete_bash pickit pickit -)"
    check "bash: pickit -k a -" "-c -d -h -k -l -n -p -q -s -t " "$(complete_bash pickit pickit -k a -)"
    check "bash: pickit -k <nothing>" "" "$(complete_bash pickit pickit -k '')"
    check "bash: fillin -" "--help --version -b -c -e -f -h -l -m -n -o -p -t -u -v " "$(complete_bash fillin fillin -)"
    check "bash: fillin -v FILLIN_E2E" "FILLIN_E2E_ONE FILLIN_E2E_TWO " \
        "$(FILLIN_E2E_ONE=1 FILLIN_E2E_TWO=2 complete_bash fillin fillin -v FILLIN_E2E)"
    mkdir -p "$WORK/dir"
    touch "$WORK/dir/name one.sh" "$WORK/dir/name.fish"
    check "bash: fillin -f dir/na" "$WORK/dir/name one.sh $WORK/dir/name.fish " \
        "$(complete_bash fillin fillin -f "$WORK/dir/na")"

    # fish: complete -C lists offers and descriptions.
    complete_fish() { F=$COMPLETION/$1.fish C=$2 fish --no-config -c 'source $F; complete -C $C'; }
    check "fish: pickit -" "--help --version -c -d -h -k -l -n -p -q -s -t" \
        "$(complete_fish pickit 'pickit -' | cut -f1 | sort | tr '\n' ' ' | sed 's/ $//')"
    check "fish: pickit -k a - offers no --help" "" "$(complete_fish pickit 'pickit -k a -' | grep -- --help)"
    check "fish: a description" $'-m\tMask input with asterisks' "$(complete_fish fillin 'fillin -' | grep '^-m')"
    check "fish: fillin -v FILLIN_E2E" "FILLIN_E2E_ONE" \
        "$(FILLIN_E2E_ONE=1 complete_fish fillin 'fillin -v FILLIN_E2E' | cut -f1)"
    check "fish: fillin -f dir/name" "$WORK/dir/name one.sh $WORK/dir/name.fish" \
        "$(complete_fish fillin "fillin -f $WORK/dir/name" | sort | tr '\n' ' ' | sed 's/ $//')"

    # zsh: an interactive zsh with compinit in a pane; Tab lists the offers.
    mkdir -p "$WORK/zdot"
    cat >"$WORK/zdot/.zshrc" <<EOF
fpath=('$COMPLETION' \$fpath)
autoload -Uz compinit && compinit -u -d '$WORK/zdot/.zcompdump'
PS1='$ '
EOF
    start 100 30 "ZDOTDIR='$WORK/zdot' FILLIN_E2E_ONE=1 zsh -i"
    wait_for '$' 10
    literal "pickit -"
    keys Tab
    wait_for "-s" 5
    check "zsh: pickit - offers -s with its description" yes \
        "$(screen | grep -q -- '-s .*-- the list of keys is case-sensitive' && echo yes || echo no)"
    keys C-u
    literal "fillin -v FILLIN_E2E_O"
    keys Tab
    wait_for "FILLIN_E2E_ONE" 5
    check "zsh: fillin -v FILLIN_E2E_O" '$ fillin -v FILLIN_E2E_ONE' "$(screen_text | tail -1 | sed 's/ *$//')"
fi

finish
