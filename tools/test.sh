#!/usr/bin/env bash
# Builds Tarvik and runs every test suite: native (CTest), AddressSanitizer with
# UndefinedBehaviorSanitizer (CTest), the 32-bit Windows DLL with its export, import
# and size check and the scenario tests under Wine, then any extra suites present.
# clang-tidy runs over the sources after the native build (checks in .clang-tidy).
# Every stage runs even when an earlier one failed; the exit status is non-zero
# when any stage failed. The last line sums the tests of all suites.
#
# Build directories: build/ci-native, build/ci-asan, build/ci-win32, build/ci-fuzz.
# TARVIK_SKIP="asan win32" leaves stages out (for quick local runs only).
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

# Runs the Windows test program under Wine inside a pseudo-terminal (Wine's console
# calls need one) with a FIFO that never ends as script's input, so that no
# end-of-file byte turns into key events. Arguments: label, then environment
# assignments for Wine, then "--" and the test program's arguments.
#
# Wine must stay in the pty's foreground process group: in a background group its
# console reads and writes never complete and the first test that uses the console
# input waits until the time limit. Two things would put it there. `timeout` moves
# its command into a group of its own unless it is the session leader, hence
# --foreground. And script runs its command with $SHELL (dash when SHELL is unset,
# as under CI), which forks rather than execs it, hence an explicit shell and exec
# all along the chain.
RunWine() {
    local label=$1 dir=build/ci-win32
    shift
    local envs=()
    while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do
        envs+=("$1")
        shift
    done
    [ "$#" -gt 0 ] && shift
    local out=$ROOT/$dir/wine-$label.txt runner=$ROOT/$dir/wine-$label.sh
    {
        echo "cd '$ROOT/$dir' || exit 1"
        printf 'exec env WINEDEBUG=-all WINEPREFIX=%q WINEDLLOVERRIDES=%q' \
            "$ROOT/$dir/wineprefix" "mscoree,mshtml="
        [ "${#envs[@]}" -eq 0 ] || printf ' %q' "${envs[@]}"
        printf ' timeout --foreground -k 10 %q wine tarvik_tests.exe --gtest_color=no' \
            "${WINE_TIMEOUT:-600}"
        [ "$#" -eq 0 ] || printf ' %q' "$@"
        printf ' >%q 2>&1\n' "$out"
    } >"$runner"

    Banner "Wine ($label): tests"
    local fifo start end rc
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
    local ran passed failed
    ran=$(sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$out" | tail -n 1)
    passed=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$out" | tail -n 1)
    failed=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below:.*/\1/p' "$out" | tail -n 1)
    echo "Wine ($label): ${ran:-0} tests run, ${passed:-0} passed, ${failed:-0} failed," \
        "exit code $rc, $((end - start)) s"
    TOTAL_PASSED=$((TOTAL_PASSED + ${passed:-0}))
    TOTAL_FAILED=$((TOTAL_FAILED + ${failed:-0}))
    if [ "$rc" -ne 0 ] || [ -z "$ran" ]; then
        [ "${failed:-0}" -gt 0 ] || TOTAL_FAILED=$((TOTAL_FAILED + 1))
        Fail "wine $label"
    fi
}

Win32Stage() {
    local dir=build/ci-win32
    Skipped win32 && return 0
    Banner "win32: configure and build ($dir)"
    if ! cmake --preset win32 -B "$dir" >"$dir.configure.log" 2>&1; then
        cat "$dir.configure.log"
        Fail "win32 build"
        return
    fi
    if ! cmake --build "$dir" -j "$JOBS"; then
        Fail "win32 build"
        return
    fi
    Banner "win32: export and import tables, size"
    bash tools/check-dll.sh "$dir/Tarvik.dll" || Fail "win32 DLL check"
    if [ ! -f "$dir/tarvik_tests.exe" ]; then
        echo "test.sh: no Windows test program was built" >&2
        Fail "wine"
        return
    fi
    # The whole suite under code pages 1252 / 437, the plain Western setting. The
    # Cyrillic cases need 1251 / 866 and skip themselves there; they (with every
    # other skipped test) run again under a Russian locale, which gives Wine those
    # code pages without any system locale being generated.
    RunWine C LANG=C LC_ALL=C
    local skipped
    skipped=$(sed -nE 's/^\[  SKIPPED \] ([A-Za-z0-9_/]+\.[A-Za-z0-9_/]+)( \(.*)?$/\1/p' \
        "$dir/wine-C.txt" | sort -u | tr '\n' ':' | sed 's/:$//')
    if [ -n "$skipped" ]; then
        RunWine ru LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 -- "--gtest_filter=$skipped"
    else
        echo "Wine (ru): no test skipped under LANG=C, nothing to run again"
    fi
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

STARTED=$(date +%s)
if [ -z "${TARVIK_NO_INSTALL:-}" ]; then
    Banner "dependencies"
    bash tools/install-deps.sh || Fail "install-deps"
fi
mkdir -p build
NativeStage native
TidyStage
NativeStage asan
Win32Stage
ExtraStages

Banner "summary ($(($(date +%s) - STARTED)) s)"
if [ "${#FAILED_STAGES[@]}" -gt 0 ]; then
    echo "failed stages: ${FAILED_STAGES[*]}"
    [ "$TOTAL_FAILED" -gt 0 ] || TOTAL_FAILED=1
else
    echo "all stages passed"
fi
echo "tests: $TOTAL_PASSED passed, $TOTAL_FAILED failed"
[ "${#FAILED_STAGES[@]}" -eq 0 ]
