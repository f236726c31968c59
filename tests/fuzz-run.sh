#!/usr/bin/env bash
# Runs each libFuzzer target (fuzz/fuzz_*.cpp, built by the preset "fuzz")
# for a bounded time, one after the other:
#
#     cmake --preset fuzz && cmake --build --preset fuzz
#     bash tests/fuzz-run.sh [SECONDS per target, default 20]
#
# A target with a dictionary, fuzz/<target>.dict, runs with it.
# Fails when a target crashes, stalls or a check of its own fails; the
# input that did it is kept in the build tree's artifacts/ folder, and
# `build/fuzz/fuzz/<target> <that file>` replays it. The seeds in
# fuzz/corpus/ are only read; what the runs find grows the build tree's
# corpus/ folder, so a later run starts from there. The random seed is
# always the same, so that a run goes the same way again from the same
# corpus.
set -u
cd "$(dirname "$0")/.." || exit 1
ROOT=$PWD
EACH=${1:-20}
SEED=1
# BUILD_PREFIX picks another set of build trees, as for the e2e suites.
BIN=${BUILD_PREFIX:-$ROOT/build}/fuzz

passed=0
failed=0
mkdir -p "$BIN/artifacts"
for source in fuzz/fuzz_*.cpp; do
    target=$(basename "$source" .cpp)
    if [ ! -x "$BIN/fuzz/$target" ]; then
        failed=$((failed + 1))
        echo "FAIL: $target is not built (cmake --build --preset fuzz)"
        continue
    fi
    mkdir -p "$BIN/corpus/$target"
    log=$BIN/$target.log
    # A target's dictionary (fuzz/<target>.dict), where it has one.
    dict=()
    [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
    # One input taking 10 s counts as a stall.
    "$BIN/fuzz/$target" "${dict[@]}" -seed=$SEED -max_total_time="$EACH" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$BIN/artifacts/$target-" "$BIN/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1
    rc=$?
    figures=$(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+|exec/s: [0-9]+' | paste -sd ' ')
    grep -h '^KNOWN FAULT' "$log" | sort -u
    if [ $rc -eq 0 ]; then
        passed=$((passed + 1))
        echo "pass: $target, ${EACH}s: $figures"
    else
        failed=$((failed + 1))
        echo "FAIL: $target (exit code $rc), see $log"
        grep -E -m1 -A25 'check failed|ERROR: |runtime error|Test unit written' "$log"
        grep -E 'Test unit written' "$log"
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
