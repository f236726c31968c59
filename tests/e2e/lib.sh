# shellcheck shell=bash
# shellcheck disable=SC2034 # the suites use what this file sets
# End-to-end helpers: run a real program in a tmux pane, type at it, read
# the screen, the cursor and the exit code. A suite sources this file with
# its target as $1 (native, sanitize, win32 or win64) and calls `finish`.
# A suite for POSIX terminals or the Windows console alone says so in a
# line "# targets: posix (WHY)" or "# targets: windows (WHY)"; the test
# command registers it for those targets only (tests/CMakeLists.txt).
# Everything runs in the C.UTF-8 locale (tests/wine-env.sh).
set -u
TARGET=${1:-native}
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$ROOT/tests/wine-env.sh"

# BUILD_PREFIX picks another set of build trees (one per preset name).
BUILD_PREFIX=${BUILD_PREFIX:-$ROOT/build}
case $TARGET in
native)   BIN=$BUILD_PREFIX/release;  EXE=;     RUN= ;;
sanitize) BIN=$BUILD_PREFIX/sanitize; EXE=;     RUN= ;;
win64)    BIN=$BUILD_PREFIX/win64;    EXE=.exe; RUN=$WINE64 ;;
win32)    BIN=$BUILD_PREFIX/win32;    EXE=.exe; RUN=$WINE32 ;;
*) echo "unknown target $TARGET"; exit 2 ;;
esac
IS_WINDOWS=false
[ -n "$EXE" ] && IS_WINDOWS=true
# What a line of output to a file or pipe keeps after $(...) strips its LF:
# the CR of Windows' CR LF; nothing on POSIX, where such lines end in LF.
EOL=
$IS_WINDOWS && EOL=$'\r'

# Commands to run the programs; word splitting of $RUN is intended.
PICKIT="$RUN $BIN/pickit/pickit$EXE"
FILLIN="$RUN $BIN/fillin/fillin$EXE"
KEYCODES="$RUN $BIN/tests/keycodes$EXE"
EDITDEMO="$RUN $BIN/tests/editdemo$EXE"

WORK=$(mktemp -d)
# Each pane gets a tmux server of its own (see start); TMUX_CMD talks to
# the current one.
printf 'set-option -g escape-time 0\n' >"$WORK/tmux.conf"
# tmux, talking to the current pane's server (see start); the number goes
# through a file, so that a start made in a subshell (a case run inside
# $(...)) counts for the suite too.
echo 0 >"$WORK/servers"
current_tmux() { tmux -S "$WORK/tmux-$(<"$WORK/servers")" -f "$WORK/tmux.conf" "$@"; }
TMUX_CMD=(current_tmux)
# Ends every pane server of this suite, also those started in a subshell
# (a case run inside $(...)); by number, since a suite may turn globbing off
# (set -f), and a server left running would hold its pane for 10 minutes.
kill_servers() {
    local i
    for ((i = 1; i <= $(<"$WORK/servers"); i++)); do
        [ -S "$WORK/tmux-$i" ] && tmux -S "$WORK/tmux-$i" kill-server >/dev/null 2>&1
    done
}
PASSES=0
FAILS=0
trap 'kill_servers; rm -rf "$WORK"' EXIT

# With sanitizers a report must fail the suite, also where a pane hides it
# or its exit code passes for a real one: ASan writes its reports to files,
# UBSan (which ignores log_path beside ASan) is caught on the standard error
# of the panes and of this script; finish() looks at both. A pane's
# standard error is kept aside while its command runs and then shown, so
# that the programs' messages still reach the screen (after the command's
# end, where they come anyway). The exit code 86 fails the cases that
# check one.
SANITIZER_LOG=
if [ "$TARGET" = sanitize ]; then
    SANITIZER_LOG=$WORK/sanitizer
    mkdir -p "$SANITIZER_LOG"
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=86:log_path=$SANITIZER_LOG/asan"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86:halt_on_error=1:print_stacktrace=1"
    exec 2> >(tee -a "$SANITIZER_LOG/stderr" >&2)
fi

# start WIDTH HEIGHT COMMAND: a fresh pane of that size runs the command
# (a shell command line); its exit code lands in $WORK/rc.
start() {
    local width=$1 height=$2 command=$3
    # A server that is shutting down still holds its socket but drops every
    # client ("server exited unexpectedly"), and a client cannot tell it
    # from one that is gone: so the old server is left to exit on its own
    # and the new pane gets a new server on a socket of its own, with its
    # options from the start.
    kill_servers
    echo $(($(<"$WORK/servers") + 1)) >"$WORK/servers"
    rm -f "$WORK/rc"
    local run="$command; rc=\$?"
    if [ -n "$SANITIZER_LOG" ]; then
        local aside="'$SANITIZER_LOG/pane'"
        run="{ $command; } 2>$aside; rc=\$?; cat $aside >&2; cat $aside >>'$SANITIZER_LOG/pane-stderr'"
    fi
    "${TMUX_CMD[@]}" new-session -d -s t -x "$width" -y "$height" \
        "clear; cd '$WORK'; $run; echo \$rc > '$WORK/rc.tmp'; mv '$WORK/rc.tmp' '$WORK/rc'; sleep 600"
}

# keys KEY...: one send-keys call per key, so that keys stay apart (an
# Esc by more than the programs' escape time).
keys() {
    local key
    for key in "$@"; do
        "${TMUX_CMD[@]}" send-keys -t t "$key"
        if [ "$key" = Escape ]; then sleep 0.2; else sleep 0.08; fi
    done
}
# literal TEXT: types the text as it stands.
literal() { "${TMUX_CMD[@]}" send-keys -t t -l "$1"; sleep 0.1; }
# hex BYTE...: sends raw bytes (e.g. hex 1b 5b 48).
hex() { "${TMUX_CMD[@]}" send-keys -t t -H "$@"; sleep 0.08; }

screen() { "${TMUX_CMD[@]}" capture-pane -p -t t; }
# The 0-based cursor column and row, as "x y".
cursor() { "${TMUX_CMD[@]}" display-message -p -t t '#{cursor_x} #{cursor_y}'; }

# wait_for TEXT [SECONDS]: true once the screen shows the text. Blanks at
# its end are not looked for: a row's last blanks are not kept, and Wine's
# console does not even draw them ("V: " shows as "V:").
wait_for() {
    local text=${1%"${1##*[! ]}"} limit=${2:-10} i
    for ((i = 0; i < limit * 20; i++)); do
        screen | grep -qF -- "$text" && return 0
        sleep 0.05
    done
    return 1
}

# wait_exit [SECONDS]: prints the exit code, or "hung" after the deadline.
wait_exit() {
    local limit=${1:-10} i
    for ((i = 0; i < limit * 20; i++)); do
        if [ -f "$WORK/rc" ]; then
            cat "$WORK/rc"
            return 0
        fi
        sleep 0.05
    done
    echo hung
}

# check_cursor NAME "X Y": the cursor, given a moment to get there (Wine's
# console shows cursor moves on the terminal a little late).
check_cursor() {
    local i
    for ((i = 0; i < 60; i++)); do
        [ "$(cursor)" == "$2" ] && break
        sleep 0.05
    done
    check "$1" "$2" "$(cursor)"
}

# check NAME EXPECTED ACTUAL
check() {
    if [ "$2" == "$3" ]; then
        PASSES=$((PASSES + 1))
        echo "pass: $1"
    else
        FAILS=$((FAILS + 1))
        echo "FAIL: $1"
        echo "  expected: $(printf '%q' "$2")"
        echo "  actual:   $(printf '%q' "$3")"
        echo "  screen:"
        screen 2>/dev/null | sed 's/^/    |/'
        # Wine's failure, not the program's: a pane left blank, also once
        # what ran in it has ended. tests/wine-run.sh looks for this.
        if $IS_WINDOWS && "${TMUX_CMD[@]}" has-session -t t 2>/dev/null && [ -z "$(screen_text)" ]; then
            echo "  (Wine drew no screen in the pane)"
        fi
    fi
}

# messages COMMAND...: runs the command (its words split) without input and
# prints its messages: standard output on Windows; on POSIX standard error,
# and anything on standard output after "stdout:". Its exit code stays.
messages() {
    if $IS_WINDOWS; then
        "$@" </dev/null
        return
    fi
    local out rc
    out=$("$@" </dev/null 2>"$WORK/messages")
    rc=$?
    cat "$WORK/messages"
    [ -z "$out" ] || printf 'stdout:%s' "$out"
    return $rc
}

# The screen's rows with trailing blanks removed, empty rows at the end
# dropped.
screen_text() { screen | sed 's/ *$//' | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'; }

finish() {
    if [ -n "$SANITIZER_LOG" ] &&
        grep -qE 'ERROR: [A-Za-z]+Sanitizer|: runtime error: ' -r "$SANITIZER_LOG"; then
        FAILS=$((FAILS + 1))
        echo "FAIL: sanitizer reports"
        grep -hE -A12 'ERROR: [A-Za-z]+Sanitizer|: runtime error: ' -r "$SANITIZER_LOG" | head -80
    fi
    echo "$TARGET: $PASSES passed, $FAILS failed"
    [ "$FAILS" -eq 0 ]
}

# Exit code 77 tells the test command that a suite did not run: run by
# hand for the other family's target, or a 32-bit target on a machine that
# runs no 32-bit Windows programs.
only=$(sed -n 's/^# targets: //p' "$0")
family=posix
$IS_WINDOWS && family=windows
if [ -n "$only" ] && [ "${only%% *}" != "$family" ]; then
    echo "$TARGET: skipped, for ${only%% *} targets only ${only#* }"
    exit 77
fi
if $IS_WINDOWS; then
    wine_prepare
    if [ "$TARGET" = win32 ] && ! wine32_usable; then
        echo "win32: skipped (this machine runs no 32-bit Windows programs)"
        exit 77
    fi
fi
