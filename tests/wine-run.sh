#!/usr/bin/env bash
# Wine for the test command's Windows tests (tests/CMakeLists.txt):
#
#     bash tests/wine-run.sh prepare | cleanup
#     bash tests/wine-run.sh win64 | win32 PROGRAM.exe
#     bash tests/wine-run.sh suite SCRIPT ARGUMENT...
#
# prepare makes the build's Wine prefix and starts its server, cleanup ends
# the server; win64 and win32 run a test program in the current folder, the
# unit tests writing their files there; suite runs a script of end-to-end
# tests (tests/e2e/SUITE.sh TARGET, tests/docexamples.sh DOCUMENT TARGET).
# Exit code 77: this machine runs no 32-bit Windows programs, and the test
# did not run.
#
# Under a busy wineserver Wine now and then fails to start a program or to
# draw its first screen. A program or suite that failed so, and only so,
# runs once more; any other failure is the test's result.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tests/wine-env.sh"

# Wine's own message, and what tests/e2e/lib.sh says of a pane that a
# running program left empty.
WINE_FAILED='Application could not be started|Wine drew no screen'

# once_more COMMAND...: runs the command, and once more if it failed with
# one of Wine's own failures.
once_more() {
    local log rc
    log=$(mktemp)
    "$@" 2>&1 | tee "$log"
    rc=${PIPESTATUS[0]}
    if [ "$rc" -ne 0 ] && [ "$rc" -ne 77 ] && grep -qE "$WINE_FAILED" "$log"; then
        echo "=== Wine failed to start or draw a program: once more"
        "$@"
        rc=$?
    fi
    rm -f "$log"
    return "$rc"
}

case ${1:-} in
prepare) wine_prepare ;;
cleanup) wine_cleanup ;;
win64) once_more "$WINE64" "$2" ;;
win32)
    if ! wine32_usable; then
        echo "skipped: this machine runs no 32-bit Windows programs"
        exit 77
    fi
    once_more "$WINE32" "$2"
    ;;
suite)
    shift
    once_more bash "$@"
    ;;
*)
    echo "usage: wine-run.sh prepare|cleanup|win64 PROGRAM|win32 PROGRAM|suite SCRIPT ARGUMENT..."
    exit 2
    ;;
esac
