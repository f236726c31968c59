#!/usr/bin/env bash
# The examples of a document, taken from the document itself and run as
# written:
#
#     bash tests/docexamples.sh DOCUMENT TARGET
#
# DOCUMENT is README.md, pickit/pickit.1, fillin/fillin.1 or
# packaging/windows-readme.txt; TARGET native, win32 or win64. Each code
# block of the document has a marker just before it that says what it is:
#
#   Markdown            <!-- example NAME -->    <!-- not run -->
#   manual page (roff)  .\" example NAME         .\" not run      (before .nf, .EX)
#   text (the zip's)    #: example NAME          #: not run
#
# (windows-zip.sh leaves the "#:" lines out of the zip). A block without a
# marker, a marker without a block, and an example whose NAME has no case
# below fail on every target, so an example added later cannot go
# untested unnoticed. An example runs on the targets of its language:
# batch files in Wine's own cmd with typed keys (win32, win64), shell
# scripts in the shells they are written for (native); elsewhere it is
# only counted.
set -u
DOCUMENT=${1:?usage: docexamples.sh DOCUMENT TARGET}
set -- "${2:-native}"
. "$(dirname "$0")/e2e/lib.sh"

case $DOCUMENT in
/*) SOURCE=$DOCUMENT ;;
*) SOURCE=$ROOT/$DOCUMENT ;;
esac
[ -f "$SOURCE" ] || { echo "no such document: $DOCUMENT"; exit 2; }

# ---- Extraction: one file per code block in $WORK/blocks, and one line
# "NUMBER LINE MARKER" per block in $WORK/blocks/list (MARKER "-": none).
# A manual page's block is what stands between .nf and .fi (or .EX and
# .EE), its escapes turned into the characters they print; an unknown
# escape is an error.
mkdir -p "$WORK/blocks" "$WORK/tmp"
extract() {
    local format
    case $SOURCE in
    *.md) format=md ;;
    *.1) format=roff ;;
    *) format=txt ;;
    esac
    awk -v format="$format" -v dir="$WORK/blocks" '
    function finish(   i, last) {
        last = count
        while (last > 0 && text[last] == "") last--
        n++
        file = dir "/" n
        printf "" > file
        for (i = 1; i <= last; i++) print text[i] > file
        close(file)
        print n, start, (marker == "" ? "-" : marker) > (dir "/list")
        inblock = 0; infence = 0; count = 0; marker = ""
    }
    function keep(line) { text[++count] = line }
    # The characters a roff line prints: \- \e \& \(xx \fX and \\.
    function deroff(line,   out, c, name) {
        out = ""
        while ((i = index(line, "\\")) > 0) {
            out = out substr(line, 1, i - 1)
            c = substr(line, i + 1, 1)
            line = substr(line, i + 2)
            if (c == "-") out = out "-"
            else if (c == "e" || c == "\\") out = out "\\"
            else if (c == "&") out = out ""
            else if (c == "f") line = substr(line, 2)
            else if (c == "(") {
                name = substr(line, 1, 2); line = substr(line, 3)
                if (name in glyph) out = out glyph[name]
                else { printf "line %d: unknown escape \\(%s\n", NR, name > "/dev/stderr"; bad = 1 }
            } else { printf "line %d: unknown escape \\%s\n", NR, c > "/dev/stderr"; bad = 1 }
        }
        return out line
    }
    BEGIN {
        glyph["aq"] = "\047"; glyph["ga"] = "`"; glyph["dq"] = "\""
        glyph["ti"] = "~"; glyph["ha"] = "^"; glyph["rs"] = "\\"
        prevblank = 1
    }
    format == "roff" {
        if (inblock) {
            if ($0 == ".fi" || $0 == ".EE") finish(); else keep(deroff($0))
            next
        }
        if (match($0, /^\.\\" *(example [^ ]+|not run)/)) {
            if (marker != "") { printf "line %d: a marker without a block\n", markline > "/dev/stderr"; bad = 1 }
            marker = substr($0, RSTART, RLENGTH); sub(/^\.\\" */, "", marker); markline = NR
            next
        }
        if ($0 == ".nf" || $0 == ".EX") { inblock = 1; start = NR; next }
        if (marker != "" && $0 !~ /^\.(RS|PP|in|sp)/) {
            printf "line %d: a marker without a block\n", markline > "/dev/stderr"; bad = 1; marker = ""
        }
        next
    }
    {
        line = $0
        if (infence) {
            if (line ~ /^ ? ? ?```/) finish(); else keep(line)
            next
        }
        if ((format == "md" && match(line, /^<!-- *(example [^ ]+|not run)/)) ||
            (format == "txt" && match(line, /^#: *(example [^ ]+|not run)/))) {
            if (inblock) finish()
            if (marker != "") { printf "line %d: a marker without a block\n", markline > "/dev/stderr"; bad = 1 }
            marker = substr(line, RSTART, RLENGTH); sub(/^(<!--|#:) */, "", marker); markline = NR
            next
        }
        if (inblock) {
            if (line == "" || line ~ /^    /) { keep(substr(line, 5)); prevblank = (line == ""); next }
            finish()
        }
        if (line ~ /^ ? ? ?```/) { infence = 1; start = NR + 1 }
        else if (prevblank && line ~ /^    /) { inblock = 1; start = NR; keep(substr(line, 5)) }
        else if (marker != "" && line != "") {
            printf "line %d: a marker without a block\n", markline > "/dev/stderr"; bad = 1; marker = ""
        }
        prevblank = (line == "")
    }
    END {
        if (inblock || infence) finish()
        if (marker != "") { printf "line %d: a marker without a block\n", markline > "/dev/stderr"; bad = 1 }
        exit bad
    }' "$SOURCE"
}
: >"$WORK/blocks/list"
extract 2>"$WORK/extract.err"
check "$DOCUMENT: every escape known, every marker before a block" "" "$(cat "$WORK/extract.err")"

# ---- Running the examples.
winpath() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
W=$(winpath "$WORK")
if $IS_WINDOWS; then
    BINPATH="$(winpath "$BIN/pickit");$(winpath "$BIN/fillin")"
else
    BINPATH="$BIN/pickit:$BIN/fillin"
fi
# Wine 8's cmd writes the "(" of "echo(text" (Windows writes only the
# text): what such a line shows is checked with it there.
PAREN=
$IS_WINDOWS && PAREN="("

# drive KEYS: types the keys, separated by "~": "=TEXT" types TEXT as it
# stands, "?TEXT" waits until the screen shows TEXT (a program drops keys
# typed before its prompt), any other word is a key as tmux names it.
drive() {
    local key list
    IFS='~' read -ra list <<<"$1"
    for key in "${list[@]}"; do
        case $key in
        =*) literal "${key#=}" ;;
        \?*)
            # The screen's rows end without their trailing blanks.
            key=${key#\?}
            key=${key%"${key##*[! ]}"}
            wait_for "$key" 20 || echo "  (never shown: $key)"
            ;;
        *) keys "$key" ;;
        esac
    done
}
# ended NAME: the example has ended.
ended() {
    local rc
    rc=$(wait_exit 30)
    check "$1: ends" ended "$([ "$rc" = hung ] && echo hung || echo ended)"
}
# shown NAME LINE: the example has ended, and a row of the screen is LINE.
shown() {
    ended "$1"
    check "$1: shows" "$2" "$(screen_text | grep -xF -- "$2")"
}
# greeted NAME LINE: the example has ended, and its "Hello" row is LINE
# (none at all: LINE empty).
greeted() {
    ended "$1"
    check "$1: greets" "$2" "$(screen_text | grep -F Hello)"
}
# exits NAME CODE: the example ended with that exit code.
exits() { check "$1: exit code" "$2" "$(wait_exit 30)"; }

# batch FILE [VAR=VALUE...]: runs the example as a batch file (CR LF) in
# Wine's cmd, in $WORK, with the programs on the PATH and the variables
# given (Wine hands the environment on to Windows programs).
batch() {
    local file=$1
    shift
    sed 's/$/\r/' "$file" >"$WORK/example.bat"
    start 100 30 "env WINEPATH='$BINPATH' $* $RUN cmd /c '$W\\example.bat'"
}
# shell SHELL FILE [VAR=VALUE...]: runs the example as a script in SHELL,
# POSIX shells with set -e on, in $WORK, the programs first on the PATH and
# TMPDIR an empty folder.
shell() {
    local sh=$1 file=$2 run
    shift 2
    rm -rf "$WORK/tmp" && mkdir "$WORK/tmp"
    case $sh in
    fish) run="fish --no-config '$file'" ;;
    zsh) run="zsh -f -e '$file'" ;;
    *) run="$sh -e '$file'" ;;
    esac
    start 100 30 "env PATH='$BINPATH':\"\$PATH\" TMPDIR='$WORK/tmp' $* $run"
}
# cleaned NAME: the example's trap took away what it made in TMPDIR.
cleaned() { check "$1: temporary files removed" "" "$(ls -A "$WORK/tmp")"; }

SH_SHELLS="dash bash zsh"
RAN=0

# for_batch / for_shell: true where the example's language runs. (Under
# Wine Ctrl+C is no key but a signal that ends cmd too: the batch tables
# type none.)
for_batch() { $IS_WINDOWS; }
for_shell() { ! $IS_WINDOWS; }

# ---- One case per example NAME: ex_NAME FILE, "-" in NAME as "_". Each
# table row is a run: the keys typed, and what the run shows or leaves.

# pickit's ladder in the README: each answer reaches its label.
ex_pickit_batch() {
    for_batch || return 1
    local key line
    while IFS='|' read -r key line; do
        batch "$1"
        drive "?Save changes? [Y,N,C]~$key"
        shown "pickit-batch, $key" "$line"
    done <<'EOF'
y|Saved.
n|Not saved.
c|Nothing done.
EOF
}

# The manual page's ladder acts on files.
ex_pickit_batch_files() {
    for_batch || return 1
    local key gone made line
    while IFS='|' read -r key gone made line; do
        rm -f "$WORK/final.txt"
        echo draft >"$WORK/draft.txt"
        batch "$1"
        drive "?Save the draft? [Y,N,C]~$key"
        shown "pickit-batch-files, $key" "$line"
        check "pickit-batch-files, $key: files" "$gone $made" \
            "$([ -f "$WORK/draft.txt" ] || echo draft.txt) $([ -f "$WORK/final.txt" ] && echo final.txt)"
    done <<'EOF'
y||final.txt|
n|draft.txt||
c|||Nothing done.
EOF
}

ex_pickit_sh() {
    for_shell || return 1
    local sh key line rc
    for sh in $SH_SHELLS; do
        while IFS='|' read -r key line rc; do
            shell "$sh" "$1"
            drive "?Save changes? [Y,N,C]~$key"
            shown "pickit-sh, $sh, $key" "$line"
            exits "pickit-sh, $sh, $key" "$rc"
        done <<'EOF'
y|yes|0
n|no|0
c|cancel|0
C-c|aborted|0
EOF
    done
}

# The manual page's time-out example, on files; the time-out itself is
# pickit's own suite's.
ex_pickit_sh_timeout() {
    for_shell || return 1
    local sh key line rc old
    for sh in $SH_SHELLS; do
        while IFS='|' read -r key line rc old; do
            echo new >"$WORK/new.txt"
            echo old >"$WORK/old.txt"
            shell "$sh" "$1"
            drive "?Overwrite the old copy? [Y,N]~$key"
            exits "pickit-sh-timeout, $sh, $key" "$rc"
            [ -n "$line" ] && check "pickit-sh-timeout, $sh, $key: shows" "$line" "$(screen_text | grep -xF -- "$line")"
            check "pickit-sh-timeout, $sh, $key: old.txt" "$old" "$(cat "$WORK/old.txt")"
        done <<'EOF'
y||0|new
n|kept the old copy|0|old
C-c|cancelled|1|old
EOF
    done
}

# The exit code is the key's position.
ex_pickit_menu() {
    for_shell || return 1
    local sh key rc
    for sh in $SH_SHELLS; do
        while IFS='|' read -r key rc; do
            shell "$sh" "$1"
            drive "?q) quit:~$key"
            exits "pickit-menu, $sh, $key" "$rc"
        done <<'EOF'
1|1
q|4
EOF
    done
}

# A name, then a question about it.
ex_pickit_name_sh() {
    for_shell || return 1
    local sh keys line rc
    for sh in $SH_SHELLS; do
        while IFS='|' read -r keys line rc; do
            shell "$sh" "$1" name=
            drive "?Name: ~$keys"
            exits "pickit-name-sh, $sh, $keys" "$rc"
            greeted "pickit-name-sh, $sh, $keys" "$line"
        done <<'EOF'
=Ann Lee~Enter~?Use Ann Lee? [Y,N]~y|Hello, Ann Lee|0
=Ann Lee~Enter~?Use Ann Lee? [Y,N]~n||0
Enter||2
EOF
    done
}

# The same in a batch file: the value reaches pickit and echo through
# !name!, whatever it holds.
ex_pickit_name_batch() {
    for_batch || return 1
    local keys line
    while IFS='|' read -r keys line; do
        batch "$1" name=
        drive "?Name: ~$keys"
        greeted "pickit-name-batch, $keys" "$line"
    done <<EOF
=Bob & (x) ^~Enter~?Use Bob & (x) ^? [Y,N]~y|${PAREN}Hello, Bob & (x) ^
=Bob~Enter~?Use Bob? [Y,N]~n|
Enter|
EOF
}

# The default mode: %name% shows what was typed and runs none of it.
ex_fillin_batch() {
    for_batch || return 1
    local keys line
    while IFS='|' read -r keys line; do
        rm -rf "$WORK/x"
        batch "$1" name= NAME=
        drive "?Your name: ~$keys"
        shown "fillin-batch, $keys" "$line"
        check "fillin-batch, $keys: no folder x made" "" "$(ls -d "$WORK/x" 2>/dev/null)"
    done <<'EOF'
=Bob & md x~Enter|Hello, Bob & md x
Enter|Nothing entered.
EOF
}

# The zip's shorter form of it.
ex_fillin_batch_short() {
    for_batch || return 1
    rm -rf "$WORK/x"
    batch "$1" NAME=
    drive "?Your name: ~=Bob & md x~Enter"
    shown "fillin-batch-short" "Hello, Bob & md x"
    check "fillin-batch-short: no folder x made" "" "$(ls -d "$WORK/x" 2>/dev/null)"
}

# -e and !dest!: the folder is made as typed.
ex_fillin_e() {
    for_batch || return 1
    local folder='Apps (x86) & more'
    rm -rf "${WORK:?}/$folder"
    batch "$1" dest=
    drive "?Install to: ~=$folder~Enter"
    shown "fillin-e" "${PAREN}Made $folder"
    check "fillin-e: the folder" "$WORK/$folder" "$(ls -d "$WORK/$folder" 2>/dev/null)"
}

# for /f: blanks at the start kept, quotes and carets too; cancelled or
# empty told apart by "if defined". (Wine 8's cmd takes a "!" out of what
# !name! brings in, which Windows leaves alone: the value holds none.)
ex_fillin_for() {
    for_batch || return 1
    local keys line
    while IFS='|' read -r keys line; do
        batch "$1" name=Old
        drive "?Name: ~$keys"
        shown "fillin-for, $keys" "$line"
    done <<EOF
=  Bob & "x" ^ (y)~Enter|${PAREN}Hello,   Bob & "x" ^ (y)
Enter|Cancelled, or nothing entered.
EOF
}

# A PIN typed over the old one from its first digit.
ex_fillin_pin() {
    for_batch || return 1
    rm -f "$WORK/pin.bat"
    batch "$1" PIN=1234
    drive "?PIN: 1234~5~6~Enter"
    ended "fillin-pin"
    check "fillin-pin: pin.bat" "SET PIN=5634"$'\r' "$(cat "$WORK/pin.bat" 2>/dev/null)"
}

ex_fillin_stdout_sh() {
    for_shell || return 1
    local sh keys line rc
    for sh in $SH_SHELLS; do
        while IFS='|' read -r keys line rc; do
            shell "$sh" "$1" name=
            drive "?Name: ~$keys"
            exits "fillin-stdout-sh, $sh, $keys" "$rc"
            greeted "fillin-stdout-sh, $sh, $keys" "$line"
        done <<'EOF'
=Ann~Enter|Hello, Ann|0
Enter||2
EOF
    done
}

# The bare assignment: the script then holds the value.
ex_fillin_value_sh() {
    for_shell || return 1
    local sh
    for sh in $SH_SHELLS; do
        { cat "$1"; printf '%s\n' 'printf "[%s]\n" "$name"'; } >"$WORK/with-check.sh"
        shell "$sh" "$WORK/with-check.sh" name=
        drive "?Name: ~=Ann Lee~Enter"
        shown "fillin-value-sh, $sh" "[Ann Lee]"
    done
}

# The .sh file under set -e, cleaned up by the trap on every way out.
ex_fillin_sh_file() {
    for_shell || return 1
    local sh keys line rc
    for sh in $SH_SHELLS; do
        while IFS='|' read -r keys line rc; do
            shell "$sh" "$1" name=Ann
            drive "?Your name: Ann~$keys"
            shown "fillin-sh-file, $sh, $keys" "$line"
            exits "fillin-sh-file, $sh, $keys" "$rc"
            cleaned "fillin-sh-file, $sh, $keys"
        done <<'EOF'
=ie~Enter|Hello, Annie|0
C-c|aborted|1
Escape~Enter|nothing entered|0
EOF
    done
}

ex_fillin_fish_file() {
    for_shell || return 1
    local keys line
    while IFS='|' read -r keys line; do
        shell fish "$1"
        drive "?Your name: Ann~$keys"
        greeted "fillin-fish-file, $keys" "$line"
        cleaned "fillin-fish-file, $keys"
    done <<'EOF'
=ie~Enter|Hello, Annie
C-c|
EOF
}

# Not run anywhere: Wine has no PowerShell.
ex_powershell() { echo "  (Wine has no PowerShell)"; return 1; }

# ---- Unattended runs: each example in each shell with no terminal at all
# (setsid), under set -e, its standard input its own.
unattended() {
    (cd "$WORK" && env PATH="$BINPATH:$PATH" HOME=/home/ann timeout 30 setsid -w "$1" -e "$2" </dev/null 2>&1 |
        paste -sd'|')
}
unattended_in_shells() {
    for_shell || return 1
    local sh
    for sh in $SH_SHELLS; do
        check "$1, $sh" "$3" "$(unattended "$sh" "$2")"
    done
}
ex_unattended_pickit() { unattended_in_shells unattended-pickit "$1" deploying; }
ex_unattended_fillin() { unattended_in_shells unattended-fillin "$1" Ann; }
ex_unattended_cron() { unattended_in_shells unattended-cron "$1" rotating; }
ex_unattended_fillin_cron() { unattended_in_shells unattended-fillin-cron "$1" /home/ann; }

# ---- Every block of the document: marked, and run where it runs.
while read -r number line marker; do
    name=${marker#example }
    case $marker in
    "not run") continue ;;
    -)
        check "$DOCUMENT:$line: the block has a marker" "a marker" "none"
        sed 's/^/    |/' "$WORK/blocks/$number"
        continue
        ;;
    esac
    case=ex_${name//-/_}
    if ! declare -F "$case" >/dev/null; then
        check "$DOCUMENT:$line: a case for the example $name" "a case" "none"
        continue
    fi
    echo "example $name ($DOCUMENT:$line)"
    if "$case" "$WORK/blocks/$number"; then
        RAN=$((RAN + 1))
    else
        echo "  not run on $TARGET"
    fi
done <"$WORK/blocks/list"

echo "$TARGET: $RAN examples of $DOCUMENT run here"
finish
