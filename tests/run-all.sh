#!/usr/bin/env bash
# Runs every test on this machine: installs what is missing, builds the
# native, sanitizer and Windows configurations, runs the unit tests natively,
# with sanitizers and under Wine, then the end-to-end suites in tmux.
set -u
cd "$(dirname "$0")/.." || exit 1
ROOT=$PWD
. tests/wine-env.sh

passed=0
failed=0
failures=()
step() {  # step NAME COMMAND...: runs one step and counts it
    local name=$1; shift
    echo "=== $name"
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failures+=("$name")
        echo "=== FAILED: $name"
    fi
}

bash tests/install-deps.sh || { echo "could not install what the tests need"; exit 1; }

for preset in release sanitize win32 win64; do
    step "build $preset" sh -c "cmake --preset $preset >/dev/null && cmake --build --preset $preset -j$(nproc)"
done

step "unit tests (native)" ctest --preset release
step "unit tests (sanitizers)" env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --preset sanitize

# Each libFuzzer target for a short while; tests/fuzz-run.sh takes longer.
step "fuzzing (20 s per target)" bash tests/fuzz-run.sh 20

wine_prepare
for exe in build/win64/tests/*_tests.exe; do
    step "$(basename "$exe") (Windows x86_64, Wine)" timeout 300 "$WINE64" "$exe"
done
if wine32_usable; then
    for exe in build/win32/tests/*_tests.exe; do
        step "$(basename "$exe") (Windows i686, Wine)" timeout 300 "$WINE32" "$exe"
    done
else
    echo "=== skipped: Windows i686 under Wine (this machine runs no 32-bit programs)"
fi

# End-to-end suites: each script takes the target to drive.
targets="native sanitize win64"
wine32_usable && targets="$targets win32"
for suite in tests/e2e/*.sh; do
    [ "$(basename "$suite")" = lib.sh ] && continue
    for target in $targets; do
        step "$(basename "$suite" .sh) ($target)" timeout 900 bash "$suite" "$target"
    done
done

wine_cleanup
echo
for name in "${failures[@]}"; do echo "failed: $name"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
