#!/usr/bin/env bash
# Builds the fuzz target (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) if needed and runs it for a bounded time on the
# committed seed corpus. Exits non-zero when the target finds a crash, a leak or a
# broken property, or cannot be built.
#
#   fuzz/run-smoke.sh [seconds]      default 60; FUZZ_BUILD_DIR (default build/fuzz)
#
# New inputs go to a scratch corpus, so the committed one stays as it is; a
# crashing input is left in the build directory as crash-* and printed. The seed
# is fixed, so a run differs from the last only in how far it gets in the time.
set -uo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
SECONDS_TO_RUN=${1:-60}
DIR=${FUZZ_BUILD_DIR:-build/fuzz}
FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
LINK="-fsanitize=address,undefined"
mkdir -p "$DIR"

if ! cmake -S . -B "$DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DTARVIK_FUZZ=ON -DTARVIK_TESTS=OFF -DTARVIK_BENCH=OFF \
        "-DCMAKE_C_FLAGS=$FLAGS" "-DCMAKE_CXX_FLAGS=$FLAGS" \
        "-DCMAKE_EXE_LINKER_FLAGS=$LINK" "-DCMAKE_SHARED_LINKER_FLAGS=$LINK" \
        "-DCMAKE_MODULE_LINKER_FLAGS=$LINK" >"$DIR.configure.log" 2>&1; then
    cat "$DIR.configure.log"
    echo "fuzz smoke: configure failed"
    exit 1
fi
if ! cmake --build "$DIR" -j "${JOBS:-2}" --target tarvik_fuzz; then
    echo "fuzz smoke: build failed"
    exit 1
fi

TARGET=$(find "$DIR" -name tarvik_fuzz -type f -perm -u+x | head -n 1)
if [ -z "$TARGET" ]; then
    echo "fuzz smoke: no tarvik_fuzz was built"
    exit 1
fi

SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
LOG=$DIR/fuzz-smoke.log
echo "fuzz smoke: $TARGET for ${SECONDS_TO_RUN}s on fuzz/corpus ($(ls fuzz/corpus | wc -l) seeds)"
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    "$TARGET" "$SCRATCH" fuzz/corpus -max_total_time="$SECONDS_TO_RUN" -timeout=20 -seed=1 \
    -rss_limit_mb=4096 -max_len=4096 -print_final_stats=1 -artifact_prefix="$DIR/" \
    >"$LOG" 2>&1
RC=$?
grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|stat::peak_rss_mb)' "$LOG"
if [ "$RC" -ne 0 ]; then
    tail -n 60 "$LOG"
    echo "fuzz smoke: 0 passed, 1 failed (exit code $RC; log $LOG)"
    exit 1
fi
EXECS=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$LOG")
COV=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$LOG" | sed -nE 's/.*cov: ([0-9]+).*/\1/p')
echo "fuzz smoke: ${EXECS:-?} executions, ${COV:-?} edges covered, no failure"
echo "fuzz smoke: 1 passed, 0 failed"
