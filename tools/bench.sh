#!/usr/bin/env bash
# Runs the benchmarks: the native Google Benchmark suite through the stand-in host
# (build/bench, Release), which ends with the ratio table of docs/performance.md,
# then the timing program of the Windows DLL under Wine: the 32-bit DLL under 32-bit
# Wine (build/bench-win32) where this machine runs 32-bit programs, else a 64-bit
# build of the same sources under 64-bit Wine (build/bench-win64), said so in the
# output (tools/wine-kind.sh decides).
#
# Output: build/bench/bench.txt (console report and table), build/bench/bench.json,
# build/bench-win32/wine_poll.txt or build/bench-win64/wine_poll.txt, which ends with the
# rows "3. Shipped DLL scan": the DLL as shipped against the same sources at -O2.
# Environment: TARVIK_BENCH_FILTER (a --benchmark_filter regex, default all),
# TARVIK_BENCH_SKIP_WINE=1 (native only), WINE_POLL_LINES (default 200000),
# TARVIK_WINE64=1 (the 64-bit build even where 32-bit programs run), TARVIK_NO_INSTALL=1
# (install nothing: tools/install-deps.sh bench installs what is missing).
set -uo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-2}
STATUS=0

echo "==== machine"
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores," \
    "$(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -n 1)," \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"

if [ -z "${TARVIK_NO_INSTALL:-}" ]; then
    bash tools/install-deps.sh bench || exit 1
fi
mkdir -p build
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
KIND=$(bash tools/wine-kind.sh --why)
if [ "$(echo "$KIND" | head -n 1)" = 32 ]; then
    BITS=32 WINE=wine CXX_WIN=i686-w64-mingw32-g++-posix TOOLCHAIN=cmake/i686-w64-mingw32.cmake
else
    BITS=64 WINE=/usr/lib/wine/wine64 CXX_WIN=x86_64-w64-mingw32-g++-posix
    TOOLCHAIN=cmake/x86_64-w64-mingw32.cmake
fi
if ! command -v "$WINE" >/dev/null || ! command -v "$CXX_WIN" >/dev/null; then
    echo "bench.sh: no $BITS-bit Wine or no MinGW compiler: the figures under Wine are missing" >&2
    exit "$STATUS"
fi
DIR=$ROOT/build/bench-win$BITS
if [ "$BITS" = 64 ]; then
    echo "bench.sh: $(echo "$KIND" | tail -n 1): the Wine figures below are of a 64-bit" \
        "build under 64-bit Wine, not of the 32-bit DLL"
fi

echo "==== win$BITS: build (build/bench-win$BITS)"
if ! cmake -S . -B "$DIR" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DTARVIK_BENCH=ON -DTARVIK_TESTS=OFF \
    >"$DIR.configure.log" 2>&1; then
    cat "$DIR.configure.log"
    exit 1
fi
cmake --build "$DIR" -j "$JOBS" --target wine_poll Tarvik || exit 1
echo "Tarvik.dll ($BITS-bit): $(stat -c %s "$DIR/Tarvik.dll") bytes; the same sources at -O2" \
    "(o2/Tarvik.dll, the baseline of the rows '3. Shipped DLL scan'): $(stat -c %s "$DIR/o2/Tarvik.dll") bytes"

# Wine's console calls need a terminal: run inside script, fed by a FIFO that never
# ends (an ending input would reach the console as stray key events). The Russian
# locale gives Wine the code pages 1251 / 866 of the Cyrillic patterns.
echo "==== Wine ($BITS-bit): Esc poll and search"
OUT=$DIR/wine_poll.txt
RUNNER=$DIR/wine_poll.sh
{
    echo "cd '$DIR' || exit 1"
    printf 'exec env WINEDEBUG=-all WINEPREFIX=%q WINEDLLOVERRIDES=%q LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8' \
        "$DIR/wineprefix" "mscoree,mshtml="
    printf ' timeout --foreground -k 10 900 %q wine_poll.exe %q 2 >%q 2>&1\n' "$WINE" \
        "${WINE_POLL_LINES:-200000}" "$OUT"
} >"$RUNNER"
fifo=$(mktemp -u)
mkfifo "$fifo" && exec 3<>"$fifo" && rm -f "$fifo"
# Keeps Wine in the pty's foreground process group (see RunWine in tools/test.sh).
SHELL=/bin/bash script -qec "exec bash '$RUNNER'" /dev/null <&3 >/dev/null 2>&1 || STATUS=1
exec 3>&-
grep -v '^wine:' "$OUT"
[ "$BITS" = 32 ] || echo "bench.sh: figures of a 64-bit build under 64-bit Wine (no 32-bit programs here)"
exit "$STATUS"
