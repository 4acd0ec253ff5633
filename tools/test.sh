#!/usr/bin/env bash
# Builds Tarvik and runs every test suite: native (CTest), AddressSanitizer with
# UndefinedBehaviorSanitizer (CTest), the 32-bit Windows DLL with its export, import
# and size check and the scenario tests under Wine (32-bit, or a 64-bit build where
# this machine cannot run 32-bit programs), then any extra suites present, and last
# the packaged plug-in in the real 1.70 host (tools/realhost.py, stage "realhost").
# clang-tidy runs over the sources after the native build (checks in .clang-tidy).
# Every stage runs even when an earlier one failed; the exit status is non-zero
# when any stage failed. The last line sums the tests of all suites.
#
# Build directories: build/ci-native, build/ci-asan, build/ci-win32, build/ci-win64,
# build/ci-fuzz.
# TARVIK_SKIP="asan win32" leaves stages out (for quick local runs only);
# TARVIK_WINE64=1 runs the Windows tests as a 64-bit build under 64-bit Wine even
# where 32-bit Wine would work (see tools/wine-kind.sh).
set -uo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-2}
# Wine wants a home directory even with its own prefix; CI may start without HOME.
[ -n "${HOME:-}" ] || export HOME=$(getent passwd "$(id -u)" | cut -d: -f6)
SKIP=" ${TARVIK_SKIP:-} "

TOTAL_PASSED=0
TOTAL_FAILED=0
FAILED_STAGES=()
WINE_SUMMARY=""
REALHOST_SUMMARY=""

Banner() {
    echo
    echo "==== $* ===="
}

Fail() {
    FAILED_STAGES+=("$1")
    echo "test.sh: stage '$1' FAILED" >&2
}

Skipped() {
    case "$SKIP" in *" $1 "*) echo "test.sh: stage '$1' skipped (TARVIK_SKIP)"; return 0 ;; esac
    return 1
}

# Adds a CTest log's "N% tests passed, F tests failed out of T" to the totals.
CountCtest() {
    local line total failed
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
    if [ -z "$line" ]; then
        return 1
    fi
    failed=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/')
    total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
    TOTAL_PASSED=$((TOTAL_PASSED + total - failed))
    TOTAL_FAILED=$((TOTAL_FAILED + failed))
    [ "$total" -gt 0 ]
}

# Configures, builds and runs CTest for one native preset.
NativeStage() {
    local preset=$1 dir=build/ci-$1 log
    Skipped "$preset" && return 0
    Banner "$preset: configure and build ($dir)"
    if ! cmake --preset "$preset" -B "$dir" >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        Fail "$preset build"
        return
    fi
    if ! cmake --build "$dir" -j "$JOBS"; then
        Fail "$preset build"
        return
    fi
    Banner "$preset: tests"
    log=$dir/ctest.log
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout 300 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    if ! CountCtest "$log"; then
        echo "test.sh: $preset ran no test" >&2
        rc=1
    fi
    [ "$rc" -eq 0 ] || Fail "$preset tests"
}

# Runs the Windows test program of build directory $WIN_DIR under $WINE_LOADER inside
# a pseudo-terminal (Wine's console calls need one) with a FIFO that never ends as
# script's input, so that no end-of-file byte turns into key events. Arguments:
# run name, then environment assignments for Wine, then "--" and the test
# program's arguments. Sets RUN_RAN, RUN_PASSED, RUN_FAILED and RUN_SKIPPED.
#
# Wine must stay in the pty's foreground process group: in a background group its
# console reads and writes never complete and the first test that uses the console
# input waits until the time limit. Two things would put it there. `timeout` moves
# its command into a group of its own unless it is the session leader, hence
# --foreground. And script runs its command with $SHELL (dash when SHELL is unset,
# as under CI), which forks rather than execs it, hence an explicit shell and exec
# all along the chain.
RunWine() {
    local name=$1 dir=$WIN_DIR
    shift
    local envs=()
    while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do
        envs+=("$1")
        shift
    done
    [ "$#" -gt 0 ] && shift
    local out=$ROOT/$dir/wine-$name.txt runner=$ROOT/$dir/wine-$name.sh
    {
        echo "cd '$ROOT/$dir' || exit 1"
        printf 'exec env WINEDEBUG=-all WINEPREFIX=%q WINEDLLOVERRIDES=%q' \
            "$ROOT/$dir/wineprefix" "mscoree,mshtml="
        [ "${#envs[@]}" -eq 0 ] || printf ' %q' "${envs[@]}"
        printf ' timeout --foreground -k 10 %q %q tarvik_tests.exe --gtest_color=no' \
            "${WINE_TIMEOUT:-600}" "$WINE_LOADER"
        [ "$#" -eq 0 ] || printf ' %q' "$@"
        printf ' >%q 2>&1\n' "$out"
    } >"$runner"

    Banner "$WINE_LABEL, $name: tests"
    local fifo start end rc
    : >"$out"
    fifo=$(mktemp -u)
    mkfifo "$fifo" && exec 3<>"$fifo" && rm -f "$fifo"
    start=$(date +%s)
    SHELL=/bin/bash script -qec "exec bash '$runner'" /dev/null <&3 >/dev/null 2>&1
    rc=$?
    end=$(date +%s)
    exec 3>&-

    if [ "$rc" -ne 0 ]; then
        cat "$out"
    else
        grep -E '^\[(==========|  PASSED  |  SKIPPED |  FAILED  )\]' "$out"
    fi
    RUN_RAN=$(sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$out" | tail -n 1)
    RUN_PASSED=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$out" | tail -n 1)
    RUN_FAILED=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below:.*/\1/p' "$out" | tail -n 1)
    RUN_SKIPPED=$(sed -nE 's/^\[  SKIPPED \] ([0-9]+) tests?, listed below:.*/\1/p' "$out" | tail -n 1)
    echo "$WINE_LABEL, $name: ${RUN_RAN:-0} tests run, ${RUN_PASSED:-0} passed," \
        "${RUN_FAILED:-0} failed, ${RUN_SKIPPED:-0} skipped; exit code $rc, $((end - start)) s"
    TOTAL_PASSED=$((TOTAL_PASSED + ${RUN_PASSED:-0}))
    TOTAL_FAILED=$((TOTAL_FAILED + ${RUN_FAILED:-0}))
    # A suite that could not start, or stopped before its summary, is a failure.
    if [ "$rc" -ne 0 ] || [ -z "$RUN_RAN" ]; then
        [ "${RUN_FAILED:-0}" -gt 0 ] || TOTAL_FAILED=$((TOTAL_FAILED + 1))
        Fail "wine $name"
        RUN_OK=0
    fi
    RUN_RAN=${RUN_RAN:-0}
    RUN_PASSED=${RUN_PASSED:-0}
    RUN_FAILED=${RUN_FAILED:-0}
}

# Configures and builds one Windows preset into build/ci-<preset>; extra arguments
# are build targets (default all).
BuildWindows() {
    local preset=$1 dir=build/ci-$1
    shift
    Banner "$preset: configure and build ($dir)"
    if ! cmake --preset "$preset" -B "$dir" >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        return 1
    fi
    local targets=()
    [ "$#" -eq 0 ] || targets=(--target "$@")
    cmake --build "$dir" -j "$JOBS" "${targets[@]}"
}

# The Windows stage. The 32-bit DLL, the product, is built and its export and
# import tables checked on every machine. Its scenario tests run under 32-bit Wine
# where this machine runs 32-bit programs; where it cannot (tools/wine-kind.sh
# probes it; TARVIK_WINE64=1 forces this path) the same test program and plug-in
# are built for x86_64 and run under 64-bit Wine instead.
WindowsStage() {
    Skipped win32 && return 0
    local probe kind why
    probe=$(bash tools/wine-kind.sh --why)
    kind=$(echo "$probe" | sed -n 1p)
    why=$(echo "$probe" | sed -n 2p)
    if [ "$kind" = 32 ]; then
        WIN_DIR=build/ci-win32
        WINE_LOADER=wine
        WINE_LABEL="Wine (32-bit)"
        BuildWindows win32 || { Fail "win32 build"; return; }
    else
        WIN_DIR=build/ci-win64
        WINE_LOADER=/usr/lib/wine/wine64
        WINE_LABEL="Wine (64-bit build: $why)"
        BuildWindows win32 Tarvik || { Fail "win32 build"; return; }
    fi
    Banner "win32: export and import tables, size"
    bash tools/check-dll.sh build/ci-win32/Tarvik.dll || Fail "win32 DLL check"
    if [ "$kind" != 32 ]; then
        BuildWindows win64 || { Fail "win64 build"; return; }
        Banner "win64: export and import tables"
        OBJDUMP=x86_64-w64-mingw32-objdump bash tools/check-dll.sh build/ci-win64/Tarvik.dll ||
            Fail "win64 DLL check"
    fi
    if [ ! -f "$WIN_DIR/tarvik_tests.exe" ]; then
        echo "test.sh: no Windows test program was built in $WIN_DIR" >&2
        TOTAL_FAILED=$((TOTAL_FAILED + 1))
        Fail "wine"
        return
    fi
    RUN_OK=1
    # The whole suite under code pages 1252 / 437, the plain Western setting. The
    # Cyrillic cases need 1251 / 866 and skip themselves there; they (with every
    # other skipped test) run again under a Russian locale, which gives Wine those
    # code pages without any system locale being generated.
    RunWine C LANG=C LC_ALL=C
    local ran=$RUN_RAN passed=$RUN_PASSED failed=$RUN_FAILED skipped
    skipped=$(sed -nE 's/^\[  SKIPPED \] ([A-Za-z0-9_/]+\.[A-Za-z0-9_/]+)( \(.*)?$/\1/p' \
        "$WIN_DIR/wine-C.txt" | sort -u | tr '\n' ':' | sed 's/:$//')
    local russian="no test skipped under LANG=C, no Russian-locale run"
    if [ -n "$skipped" ]; then
        RunWine ru LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 -- "--gtest_filter=$skipped"
        russian="Russian locale: $RUN_RAN run, $RUN_PASSED passed, $RUN_FAILED failed"
    fi
    WINE_SUMMARY="$WINE_LABEL: $ran tests run, $passed passed, $failed failed; $russian"
    [ "$RUN_OK" -eq 1 ] || WINE_SUMMARY="$WINE_SUMMARY (a run did not complete)"
    echo "$WINE_SUMMARY"
}

TidyStage() {
    Skipped tidy && return 0
    Banner "clang-tidy"
    bash tools/tidy.sh build/ci-native || Fail "clang-tidy"
}

ExtraStages() {
    Skipped fuzz && return 0
    if [ -f fuzz/run-smoke.sh ]; then
        Banner "fuzz smoke run"
        FUZZ_BUILD_DIR=${FUZZ_BUILD_DIR:-build/ci-fuzz} bash fuzz/run-smoke.sh || Fail "fuzz smoke"
    fi
}

# The packaged Tarvik/ folder in the real 1.70 host (tools/realhost.py); where the
# host's kit is absent or 32-bit programs cannot run it says so and passes.
RealHostStage() {
    Skipped realhost && return 0
    Banner "real host"
    python3 tools/realhost.py 2>&1 | tee build/ci-realhost.log
    [ "${PIPESTATUS[0]}" -eq 0 ] || Fail "real host"
    REALHOST_SUMMARY=$(tail -n 1 build/ci-realhost.log)
    if [[ $REALHOST_SUMMARY =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
        TOTAL_PASSED=$((TOTAL_PASSED + BASH_REMATCH[1]))
        TOTAL_FAILED=$((TOTAL_FAILED + BASH_REMATCH[2]))
    fi
}

STARTED=$(date +%s)
mkdir -p build
rm -f build/ci-summary.txt
if [ -z "${TARVIK_NO_INSTALL:-}" ]; then
    Banner "dependencies"
    bash tools/install-deps.sh || Fail "install-deps"
fi
NativeStage native
TidyStage
NativeStage asan
WindowsStage
ExtraStages
RealHostStage

Banner "summary ($(($(date +%s) - STARTED)) s)"
if [ "${#FAILED_STAGES[@]}" -gt 0 ]; then
    [ "$TOTAL_FAILED" -gt 0 ] || TOTAL_FAILED=1
fi
# Also kept in build/ci-summary.txt, which .ci/run prints again at its very end.
{
    if [ "${#FAILED_STAGES[@]}" -gt 0 ]; then
        echo "failed stages: ${FAILED_STAGES[*]}"
    else
        echo "all stages passed"
    fi
    [ -z "$WINE_SUMMARY" ] || echo "$WINE_SUMMARY"
    [ -z "$REALHOST_SUMMARY" ] || echo "$REALHOST_SUMMARY"
    echo "tests: $TOTAL_PASSED passed, $TOTAL_FAILED failed"
} | tee build/ci-summary.txt
[ "${#FAILED_STAGES[@]}" -eq 0 ]
