#!/usr/bin/env bash
# Runs every test on this machine: installs what is missing, checks the
# scripts and manual pages, builds the native, sanitizer and Windows
# configurations, runs the unit tests natively and with sanitizers, then,
# side by side, the Debian package's check, the fuzz targets, the unit tests
# under Wine and the end-to-end suites in tmux.
#
#     bash tests/run-all.sh
#
# SIDE_JOBS (default 6) is how many steps run side by side. The suites wait
# on tmux most of the time: six of them and a fuzz target use about half of
# 2 cores. Each step's output is printed whole when it ends.
set -u
cd "$(dirname "$0")/.." || exit 1
ROOT=$PWD
. tests/wine-env.sh
SIDE_JOBS=${SIDE_JOBS:-6}

passed=0
failed=0
failures=()
# counted NAME CODE SECONDS: counts a step that has ended.
counted() {
    if [ "$2" -eq 0 ]; then
        passed=$((passed + 1))
        echo "=== passed: $1 ($3 s)"
    else
        failed=$((failed + 1))
        failures+=("$1")
        echo "=== FAILED: $1 ($3 s)"
    fi
    [ "$2" -eq 0 ]
}
# step NAME COMMAND...: runs one step now and counts it.
step() {
    local name=$1 start=$SECONDS
    shift
    echo "=== $name"
    "$@"
    counted "$name" $? $((SECONDS - start))
}

# side NAME COMMAND...: queues a step to run side by side with others;
# run_side runs the queue, longest first as queued, at most SIDE_JOBS at a
# time. A step's output goes to a file of its own and is printed whole when
# the step ends, so that the steps' lines never mix.
side_names=()
side_commands=()
side() {
    side_names+=("$1")
    shift
    side_commands+=("$(printf '%q ' "$@")")
}
run_side() {
    local logs next=0 running=0 ended code i
    local -A index_of=()
    local -a started=()
    logs=$(mktemp -d)
    while [ $running -gt 0 ] || [ $next -lt ${#side_names[@]} ]; do
        while [ $running -lt "$SIDE_JOBS" ] && [ $next -lt ${#side_names[@]} ]; do
            eval "${side_commands[next]}" </dev/null >"$logs/$next" 2>&1 &
            index_of[$!]=$next
            started[next]=$SECONDS
            next=$((next + 1))
            running=$((running + 1))
        done
        ended=
        wait -n -p ended
        code=$?
        [ -n "$ended" ] || break
        i=${index_of[$ended]}
        running=$((running - 1))
        echo "=== ${side_names[i]}"
        cat "$logs/$i"
        counted "${side_names[i]}" "$code" $((SECONDS - started[i]))
    done
    rm -rf "$logs"
    side_names=()
    side_commands=()
}

# package: the Debian package of the release build, checked by lintian
# (errors and warnings fail).
package() {
    rm -f build/release/pickit-fillin_*.deb
    (cd build/release && cpack -G DEB >/dev/null) &&
        lintian --fail-on error,warning build/release/pickit-fillin_*.deb 2>&1 |
        grep -v '^running with root privileges'
    [ "${PIPESTATUS[0]}" -eq 0 ]
}

step "install what the tests need" bash tests/install-deps.sh ||
    { echo "could not install what the tests need"; exit 1; }

step "scripts (shellcheck)" sh -c 'shellcheck completion/*.bash &&
    shellcheck -x -S warning tests/*.sh tests/*/*.sh bench/*.sh packaging/*.sh'
step "manual pages (mandoc)" mandoc -Tlint -W warning pickit/pickit.1 fillin/fillin.1

for preset in release sanitize win32 win64; do
    step "build $preset" sh -c "cmake --preset $preset >/dev/null && cmake --build --preset $preset -j$(nproc)"
done

step "unit tests (native)" ctest --preset release
step "unit tests (sanitizers)" env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --preset sanitize

wine_prepare
targets="win64 sanitize native"
if wine32_usable; then
    targets="win32 $targets"
else
    echo "=== skipped: Windows i686 under Wine (this machine runs no 32-bit programs)"
fi

# Side by side, the longest first. Each libFuzzer target runs for a short
# while (tests/fuzz-run.sh takes longer), at the lowest priority: it wants a
# whole core, the suites only moments of one.
side "fuzzing (20 s per target)" nice -n 19 bash tests/fuzz-run.sh 20
side "Debian package (lintian)" package
# The unit tests write their files in the current folder: each build's in
# its own.
in_dir() { cd "$1" && shift && "$@"; }
for exe in build/win64/tests/*_tests.exe; do
    side "$(basename "$exe") (Windows x86_64, Wine)" in_dir build/win64/tests timeout 300 "$WINE64" "$ROOT/$exe"
done
if [[ $targets == *win32* ]]; then
    for exe in build/win32/tests/*_tests.exe; do
        side "$(basename "$exe") (Windows i686, Wine)" in_dir build/win32/tests timeout 300 "$WINE32" "$ROOT/$exe"
    done
fi
# End-to-end suites: each script takes the target to drive, and each pane
# has a tmux server of its own.
for target in $targets; do
    for suite in tests/e2e/*.sh; do
        [ "$(basename "$suite")" = lib.sh ] && continue
        side "$(basename "$suite" .sh) ($target)" timeout 900 bash "$suite" "$target"
    done
done
run_side

wine_cleanup
echo
for name in "${failures[@]}"; do echo "failed: $name"; done
echo "test command: $((SECONDS / 60)) min $((SECONDS % 60)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
