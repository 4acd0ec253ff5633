#!/usr/bin/env bash
# Runs the benchmarks: the native Google Benchmark suite through the stand-in host
# (build/bench, Release), which ends with the ratio table of docs/performance.md,
# then the Esc poll timing of the Windows DLL under Wine (build/bench-win32).
#
# Output: build/bench/bench.txt (console report and table), build/bench/bench.json,
# build/bench-win32/wine_poll.txt.
# Environment: TARVIK_BENCH_FILTER (a --benchmark_filter regex, default all),
# TARVIK_BENCH_SKIP_WINE=1 (native only), WINE_POLL_LINES (default 200000).
set -uo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-2}
STATUS=0

echo "==== machine"
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores," \
    "$(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -n 1)," \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"

echo "==== native: build (build/bench)"
if ! cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_BENCH=ON \
    -DTARVIK_TESTS=OFF >build/bench.configure.log 2>&1; then
    cat build/bench.configure.log
    exit 1
fi
cmake --build build/bench -j "$JOBS" || exit 1

echo "==== native: run"
build/bench/tarvik_bench --benchmark_filter="${TARVIK_BENCH_FILTER:-.}" \
    --benchmark_out=build/bench/bench.json --benchmark_out_format=json \
    --benchmark_color=false 2>&1 | tee build/bench/bench.txt
[ "${PIPESTATUS[0]}" -eq 0 ] || STATUS=1

if [ -n "${TARVIK_BENCH_SKIP_WINE:-}" ]; then
    exit "$STATUS"
fi
if ! command -v wine >/dev/null || ! command -v i686-w64-mingw32-g++-posix >/dev/null; then
    echo "bench.sh: no Wine or no MinGW compiler: the Esc poll figure under Wine is missing" >&2
    exit "$STATUS"
fi

echo "==== win32: build (build/bench-win32)"
if ! cmake -S . -B build/bench-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTARVIK_BENCH=ON -DTARVIK_TESTS=OFF \
    >build/bench-win32.configure.log 2>&1; then
    cat build/bench-win32.configure.log
    exit 1
fi
cmake --build build/bench-win32 -j "$JOBS" --target wine_poll Tarvik || exit 1

# Wine's console calls need a terminal: run inside script, fed by a FIFO that never
# ends (an ending input would reach the console as stray key events).
echo "==== Wine: Esc poll"
DIR=$ROOT/build/bench-win32
OUT=$DIR/wine_poll.txt
RUNNER=$DIR/wine_poll.sh
{
    echo "cd '$DIR' || exit 1"
    printf 'exec env WINEDEBUG=-all WINEPREFIX=%q WINEDLLOVERRIDES=%q LANG=C LC_ALL=C' \
        "$DIR/wineprefix" "mscoree,mshtml="
    printf ' timeout --foreground -k 10 900 wine wine_poll.exe %q 2 >%q 2>&1\n' "${WINE_POLL_LINES:-200000}" "$OUT"
} >"$RUNNER"
fifo=$(mktemp -u)
mkfifo "$fifo" && exec 3<>"$fifo" && rm -f "$fifo"
# Keeps Wine in the pty's foreground process group (see RunWine in tools/test.sh).
SHELL=/bin/bash script -qec "exec bash '$RUNNER'" /dev/null <&3 >/dev/null 2>&1 || STATUS=1
exec 3>&-
grep -v '^wine:' "$OUT"
exit "$STATUS"
