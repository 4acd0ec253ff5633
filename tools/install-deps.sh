#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging Tarvik need,
# skipping those already installed; runs apt-get update at most once.
#
#   tools/install-deps.sh            everything tools/test.sh needs: native, sanitizers,
#                                    clang-tidy, fuzzing, the Windows builds and Wine
#   tools/install-deps.sh package    only what tools/package.sh needs (both MinGW
#                                    compilers: the packages hold x86 and x64 DLLs)
#   tools/install-deps.sh native     a native build with its tests and clang-tidy
#   tools/install-deps.sh bench      what tools/bench.sh needs
#
# The Windows tests need one Wine of two, chosen by tools/wine-kind.sh: where this
# machine runs 32-bit programs, 32-bit Wine (the i386 architecture is added for
# it); where it cannot, the x86_64 MinGW compilers and 64-bit Wine. Only the chosen
# one is installed. The 32-bit MinGW compilers are always needed: the 32-bit DLL is
# built on every machine.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=(cmake ninja-build g++)
NATIVE_TESTS=(libgtest-dev libgmock-dev python3)
MINGW32=(g++-mingw-w64-i686)
MINGW64=(g++-mingw-w64-x86-64)
WINE32=(wine wine32:i386 googletest bsdutils)
WINE64=("${MINGW64[@]}" wine64 googletest bsdutils)

MODE=${1:-all}
WITH_WINE=0
case "$MODE" in
    all)
        PACKAGES=("${BUILD[@]}" "${NATIVE_TESTS[@]}" libbenchmark-dev clang clang-tidy
                  libclang-rt-14-dev "${MINGW32[@]}" zip)
        WITH_WINE=1
        ;;
    package)
        PACKAGES=("${BUILD[@]}" "${MINGW32[@]}" "${MINGW64[@]}" zip python3)
        ;;
    native)
        PACKAGES=("${BUILD[@]}" "${NATIVE_TESTS[@]}" libbenchmark-dev clang-tidy)
        ;;
    bench)
        PACKAGES=("${BUILD[@]}" libbenchmark-dev "${MINGW32[@]}")
        WITH_WINE=1
        ;;
    *)
        echo "usage: $0 [all|package|native|bench]" >&2
        exit 2
        ;;
esac

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    SUDO=(sudo)
fi
UPDATED=0

Installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Installs the packages named that are missing.
Install() {
    local missing=() need_i386=0 p
    for p in "$@"; do
        if ! Installed "$p"; then
            missing+=("$p")
            case "$p" in *:i386) need_i386=1 ;; esac
        fi
    done
    [ "${#missing[@]}" -eq 0 ] && return 0
    echo "install-deps: installing ${missing[*]}"
    # wine32 is an i386 package: its architecture must be known before the update.
    if [ "$need_i386" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${SUDO[@]}" dpkg --add-architecture i386
        UPDATED=0
    fi
    if [ "$UPDATED" -eq 0 ]; then
        "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
        UPDATED=1
    fi
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" </dev/null
}

Install "${PACKAGES[@]}"
if [ "$WITH_WINE" -eq 1 ]; then
    if [ "$(bash tools/wine-kind.sh)" = 32 ]; then
        Install "${WINE32[@]}"
    fi
    # Asked again once 32-bit Wine is there: it must also start.
    if [ "$(bash tools/wine-kind.sh)" = 64 ]; then
        Install "${WINE64[@]}"
    fi
fi
echo "install-deps: $MODE: every package present"
