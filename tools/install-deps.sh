#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging Tarvik need,
# skipping those already installed; runs apt-get update at most once.
#
#   tools/install-deps.sh            everything (native, sanitizers, Windows, Wine)
#   tools/install-deps.sh package    only what tools/package.sh needs
set -euo pipefail

case "${1:-all}" in
    all)
        PACKAGES=(cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
                  clang clang-tidy libclang-rt-14-dev python3 zip g++-mingw-w64-i686 wine wine32:i386
                  bsdutils)
        ;;
    package)
        PACKAGES=(cmake ninja-build g++ zip python3 g++-mingw-w64-i686 googletest)
        ;;
    *)
        echo "usage: $0 [all|package]" >&2
        exit 2
        ;;
esac

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    SUDO=(sudo)
fi

Installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

NEED_I386=0
MISSING=()
for p in "${PACKAGES[@]}"; do
    if ! Installed "$p"; then
        MISSING+=("$p")
        case "$p" in *:i386) NEED_I386=1 ;; esac
    fi
done

if [ "${#MISSING[@]}" -eq 0 ]; then
    echo "install-deps: all ${#PACKAGES[@]} packages present"
    exit 0
fi

echo "install-deps: installing ${MISSING[*]}"
# wine32 is an i386 package: its architecture must be known before the update.
if [ "$NEED_I386" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${SUDO[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    "${MISSING[@]}" </dev/null
