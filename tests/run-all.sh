#!/usr/bin/env bash
# Runs every test on this machine: installs what is missing, checks the
# scripts and manual pages, builds the native, sanitizer, Windows and fuzzing
# configurations, then runs every test with CTest from the native build,
# six at a time and the longest first: the unit tests natively, with
# sanitizers and under Wine, the end-to-end suites in tmux, the Debian
# package's check and the fuzz targets (tests/CMakeLists.txt registers
# them, the test preset "all" in CMakePresets.json runs them).
#
#     bash tests/run-all.sh
#
# A check or build that fails ends the command; the tests' summary is
# CTest's, and a test's output is shown when it fails (all of it is in
# build/release/Testing/Temporary/LastTest.log).
set -u
cd "$(dirname "$0")/.." || exit 1

# step NAME COMMAND...: runs one step, with its time.
step() {
    local name=$1 start=$SECONDS
    shift
    echo "=== $name"
    if ! "$@"; then
        echo "=== FAILED: $name"
        exit 1
    fi
    echo "=== passed: $name ($((SECONDS - start)) s)"
}

step "install what the tests need" bash tests/install-deps.sh
step "scripts (shellcheck)" sh -c 'shellcheck completion/*.bash &&
    shellcheck -x -S warning tests/*.sh tests/*/*.sh bench/*.sh packaging/*.sh'
step "manual pages (mandoc)" mandoc -Tlint -W warning pickit/pickit.1 fillin/fillin.1
# The fuzz targets too: built inside the test run they would take the
# cores from the suites' waits.
for preset in release sanitize win32 win64 fuzz; do
    step "build $preset" sh -c "cmake --preset $preset >/dev/null && cmake --build --preset $preset -j$(nproc)"
done
# The tests read nothing from here: each types into panes of its own.
exec ctest --preset all </dev/null
