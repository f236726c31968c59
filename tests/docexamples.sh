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
: >"$WORK/blocks/list"
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
}' "$SOURCE" 2>"$WORK/extract.err"
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

SH_SHELLS="dash bash zsh"
RAN=0

# runs NAME FILE RUNNERS PROMPT LOOK [VAR=VALUE...] <TABLE: one run of the
# example per row "KEYS|LINE|CODE|LEFT" with each of RUNNERS, in $WORK,
# the programs on the PATH and the variables given: "batch" runs it as a
# batch file (CR LF) in Wine's cmd on the Windows targets (Wine hands the
# environment on to Windows programs), a shell as a script natively, POSIX
# shells with set -e on, TMPDIR an empty folder. Once PROMPT shows, KEYS
# are typed; the run ends, with CODE when the row gives one; LOOK "shows":
# a row of the screen is LINE (if any), "greets": the "Hello" row is LINE
# (none: LINE empty); the shell command $LEFT, when set, prints the row's
# LEFT after it. The shell command $PREPARE, when set, runs before each
# run. (Under Wine Ctrl+C is no key but a signal that ends cmd too: the
# batch tables type none.)
runs() {
    local name=$1 file=$2 runners=$3 prompt=$4 look=$5 table runner run keys line code left label
    shift 5
    if [ "$runners" = batch ]; then $IS_WINDOWS; else ! $IS_WINDOWS; fi || return 1
    table=$(cat)
    for runner in $runners; do
        case $runner in
        batch)
            sed 's/$/\r/' "$file" >"$WORK/example.bat"
            run="env WINEPATH='$BINPATH' $* $RUN cmd /c '$W\\example.bat'"
            ;;
        fish) run="fish --no-config '$file'" ;;
        zsh) run="zsh -f -e '$file'" ;;
        *) run="$runner -e '$file'" ;;
        esac
        [ "$runner" = batch ] || run="env PATH='$BINPATH':\"\$PATH\" TMPDIR='$WORK/tmp' $* $run"
        while IFS='|' read -r keys line code left; do
            label="$name, $runner, $keys"
            (cd "$WORK" && rm -rf tmp && mkdir tmp && eval "${PREPARE:-:}")
            start 100 30 "$run"
            drive "?$prompt~$keys"
            if [ -n "$code" ]; then
                check "$label: exit code" "$code" "$(wait_exit 30)"
            else
                check "$label: ends" ended "$([ "$(wait_exit 30)" = hung ] && echo hung || echo ended)"
            fi
            case $look in
            shows) [ -z "$line" ] || check "$label: shows" "$line" "$(screen_text | grep -xF -- "$line")" ;;
            greets) check "$label: greets" "$line" "$(screen_text | grep -F Hello)" ;;
            esac
            [ -z "${LEFT:-}" ] || check "$label: leaves" "$left" "$(cd "$WORK" && eval "$LEFT")"
        done <<<"$table"
    done
}

# ---- One case per example NAME: ex_NAME FILE, "-" in NAME as "_". Each
# table row is a run: the keys typed, and what the run shows or leaves.

# pickit's ladder in the README: each answer reaches its label.
ex_pickit_batch() {
    runs pickit-batch "$1" batch "Save changes? [Y,N,C]" shows <<'EOF'
y|Saved.
n|Not saved.
c|Nothing done.
EOF
}

# The manual page's ladder acts on files.
ex_pickit_batch_files() {
    PREPARE='rm -f final.txt; echo draft >draft.txt' LEFT='echo $(ls draft.txt final.txt 2>/dev/null)' \
        runs pickit-batch-files "$1" batch "Save the draft? [Y,N,C]" shows <<'EOF'
y|||draft.txt final.txt
n|||
c|Nothing done.||draft.txt
EOF
}

ex_pickit_sh() {
    runs pickit-sh "$1" "$SH_SHELLS" "Save changes? [Y,N,C]" shows <<'EOF'
y|yes|0
n|no|0
c|cancel|0
C-c|aborted|0
EOF
}

# The manual page's time-out example, on files; the time-out itself is
# pickit's own suite's.
ex_pickit_sh_timeout() {
    PREPARE='echo new >new.txt; echo old >old.txt' LEFT='cat old.txt' \
        runs pickit-sh-timeout "$1" "$SH_SHELLS" "Overwrite the old copy? [Y,N]" shows <<'EOF'
y||0|new
n|kept the old copy|0|old
C-c|cancelled|1|old
EOF
}

# The exit code is the key's position.
ex_pickit_menu() {
    runs pickit-menu "$1" "$SH_SHELLS" "q) quit:" shows <<'EOF'
1||1
q||4
EOF
}

# A name, then a question about it; fillin's own form of the first half.
ex_pickit_name_sh() {
    runs pickit-name-sh "$1" "$SH_SHELLS" "Name: " greets name= <<'EOF'
=Ann Lee~Enter~?Use Ann Lee? [Y,N]~y|Hello, Ann Lee|0
=Ann Lee~Enter~?Use Ann Lee? [Y,N]~n||0
Enter||2
EOF
}
ex_fillin_stdout_sh() {
    runs fillin-stdout-sh "$1" "$SH_SHELLS" "Name: " greets name= <<'EOF'
=Ann~Enter|Hello, Ann|0
Enter||2
EOF
}

# The same in a batch file: the value reaches pickit and echo through
# !name!, whatever it holds.
ex_pickit_name_batch() {
    runs pickit-name-batch "$1" batch "Name: " greets name= <<EOF
=Bob & (x) ^~Enter~?Use Bob & (x) ^? [Y,N]~y|${PAREN}Hello, Bob & (x) ^
=Bob~Enter~?Use Bob? [Y,N]~n|
Enter|
EOF
}

# The default mode: %name% shows what was typed and runs none of it; the
# zip's shorter form of it too.
ex_fillin_batch() {
    PREPARE='rm -rf x' LEFT='ls -d x 2>/dev/null' runs fillin-batch "$1" batch "Your name: " shows name= NAME= <<'EOF'
=Bob & md x~Enter|Hello, Bob & md x
Enter|Nothing entered.
EOF
}
ex_fillin_batch_short() {
    PREPARE='rm -rf x' LEFT='ls -d x 2>/dev/null' runs fillin-batch-short "$1" batch "Your name: " shows NAME= <<'EOF'
=Bob & md x~Enter|Hello, Bob & md x
EOF
}

# -e and !dest!: the folder is made as typed.
ex_fillin_e() {
    PREPARE="rm -rf 'Apps (x86) & more'" LEFT="ls -d 'Apps (x86) & more'" \
        runs fillin-e "$1" batch "Install to: " shows dest= <<EOF
=Apps (x86) & more~Enter|${PAREN}Made Apps (x86) & more||Apps (x86) & more
EOF
}

# for /f: blanks at the start kept, quotes and carets too; cancelled or
# empty told apart by "if defined". (Wine 8's cmd takes a "!" out of what
# !name! brings in, which Windows leaves alone: the value holds none.)
ex_fillin_for() {
    runs fillin-for "$1" batch "Name: " shows name=Old <<EOF
=  Bob & "x" ^ (y)~Enter|${PAREN}Hello,   Bob & "x" ^ (y)
Enter|Cancelled, or nothing entered.
EOF
}

# A PIN typed over the old one from its first digit; the file in CR LF.
ex_fillin_pin() {
    PREPARE='rm -f pin.bat' LEFT='sed -n l pin.bat' runs fillin-pin "$1" batch "PIN: 1234" shows PIN=1234 <<'EOF'
5~6~Enter|||SET PIN=5634\r$
EOF
}

# The bare assignment: the script then holds the value.
ex_fillin_value_sh() {
    { cat "$1"; printf '%s\n' 'printf "[%s]\n" "$name"'; } >"$WORK/with-check.sh"
    runs fillin-value-sh "$WORK/with-check.sh" "$SH_SHELLS" "Name: " shows name= <<'EOF'
=Ann Lee~Enter|[Ann Lee]
EOF
}

# The .sh file under set -e, cleaned up by the trap on every way out: its
# TMPDIR left empty.
ex_fillin_sh_file() {
    LEFT='ls -A tmp' runs fillin-sh-file "$1" "$SH_SHELLS" "Your name: Ann" shows name=Ann <<'EOF'
=ie~Enter|Hello, Annie|0
C-c|aborted|1
Escape~Enter|nothing entered|0
EOF
}
ex_fillin_fish_file() {
    LEFT='ls -A tmp' runs fillin-fish-file "$1" fish "Your name: Ann" greets <<'EOF'
=ie~Enter|Hello, Annie
C-c|
EOF
}

# Not run anywhere: Wine has no PowerShell.
ex_powershell() { echo "  (Wine has no PowerShell)"; return 1; }

# ---- Unattended runs: each example in each shell with no terminal at all
# (setsid), under set -e, its standard input its own.
unattended() {
    ! $IS_WINDOWS || return 1
    local sh
    for sh in $SH_SHELLS; do
        check "$1, $sh" "$3" "$(cd "$WORK" && env PATH="$BINPATH:$PATH" HOME=/home/ann \
            timeout 30 setsid -w "$sh" -e "$2" </dev/null 2>&1 | paste -sd'|')"
    done
}
ex_unattended_pickit() { unattended unattended-pickit "$1" deploying; }
ex_unattended_fillin() { unattended unattended-fillin "$1" Ann; }
ex_unattended_cron() { unattended unattended-cron "$1" rotating; }
ex_unattended_fillin_cron() { unattended unattended-fillin-cron "$1" /home/ann; }

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
