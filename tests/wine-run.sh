#!/usr/bin/env bash
# Wine for the test command's Windows tests (tests/CMakeLists.txt):
#
#     bash tests/wine-run.sh prepare | cleanup
#     bash tests/wine-run.sh win64 | win32 PROGRAM.exe
#
# prepare makes the build's Wine prefix and starts its server, cleanup ends
# the server; win64 and win32 run a test program in the current folder, the
# unit tests writing their files there. Exit code 77: this machine runs no
# 32-bit Windows programs, and the test did not run.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tests/wine-env.sh"
case ${1:-} in
prepare) wine_prepare ;;
cleanup) wine_cleanup ;;
win64) exec "$WINE64" "$2" ;;
win32)
    if ! wine32_usable; then
        echo "skipped: this machine runs no 32-bit Windows programs"
        exit 77
    fi
    exec "$WINE32" "$2"
    ;;
*) echo "usage: wine-run.sh prepare|cleanup|win64 PROGRAM|win32 PROGRAM"; exit 2 ;;
esac
