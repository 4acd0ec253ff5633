#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the plug-in, the stand-in layer and
# the stand-in host, using the compile commands of a native build directory
# (default build/ci-native, which tools/test.sh configures). Exits non-zero on
# any finding.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
BUILD=${1:-build/ci-native}
if [ -z "${TARVIK_NO_INSTALL:-}" ] && ! command -v clang-tidy >/dev/null; then
    bash tools/install-deps.sh native
fi
if [ ! -f "$BUILD/compile_commands.json" ]; then
    [ -z "${TARVIK_NO_INSTALL:-}" ] && bash tools/install-deps.sh native
    mkdir -p "$(dirname "$BUILD")"
    cmake --preset native -B "$BUILD" >"$BUILD.configure.log" 2>&1 ||
        { cat "$BUILD.configure.log"; exit 1; }
fi
# clang does not know the GCC-only flag that lets the plug-in unload; drop it.
DB=$(mktemp -d)
trap 'rm -rf "$DB"' EXIT
sed 's/ -fno-gnu-unique//g' "$BUILD/compile_commands.json" >"$DB/compile_commands.json"
# host_win32.cpp is the Windows test program's half of the host; it is built for win32 only.
FILES=(src/*/*.cpp src/*/*/*.cpp compat/*.cpp $(ls host/*.cpp | grep -v host_win32))
STATUS=0
printf '%s\n' "${FILES[@]}" |
    xargs -P "${JOBS:-2}" -n 4 clang-tidy -p "$DB" --quiet \
        --extra-arg=-Wno-unknown-warning-option >"$DB/out.txt" 2>"$DB/err.txt" || STATUS=1
if [ "$STATUS" -ne 0 ] || grep -qE '(warning|error):' "$DB/out.txt"; then
    cat "$DB/out.txt"
    grep -vE '^[0-9]+ (warning|error)s? generated\.$' "$DB/err.txt" >&2 || true
    echo "tidy: findings above (${#FILES[@]} files checked)" >&2
    exit 1
fi
echo "tidy: ${#FILES[@]} files, no finding"
