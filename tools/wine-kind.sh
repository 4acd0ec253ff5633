#!/usr/bin/env bash
# Tells which Wine the Windows stage can use on this machine: prints "32" when the
# kernel runs 32-bit programs (the 32-bit DLL then runs under 32-bit Wine) and
# "64" when it cannot (a 64-bit build of the same sources then runs under 64-bit
# Wine). The answer comes from running a tiny 32-bit program, never from the
# kernel's version; when 32-bit Wine is installed, it must start as well.
#
#   TARVIK_WINE64=1 tools/wine-kind.sh    prints "64" whatever the machine can do
#   tools/wine-kind.sh --why              prints the reason on a second line
set -uo pipefail

Answer() {
    echo "$1"
    [ "${WHY:-}" = 1 ] && echo "$2"
    exit 0
}

WHY=0
[ "${1:-}" = "--why" ] && WHY=1

if [ -n "${TARVIK_WINE64:-}" ] && [ "${TARVIK_WINE64}" != 0 ]; then
    Answer 64 "forced by TARVIK_WINE64"
fi

# A complete static i386 ELF program of 96 bytes: exit(0) through int 0x80.
PROBE=$(mktemp "${TMPDIR:-/tmp}/tarvik-i386-probe.XXXXXX") || Answer 64 "no temporary file for the probe"
trap 'rm -f "$PROBE"' EXIT
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$PROBE"
# e_type 2, e_machine 3 (i386), e_version 1, e_entry 0x08048054, e_phoff 52, e_shoff 0,
# e_flags 0, e_ehsize 52, e_phentsize 32, e_phnum 1, no section headers.
printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$PROBE"
printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$PROBE"
# One PT_LOAD segment mapping the whole file at 0x08048000, readable and executable.
printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$PROBE"
printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$PROBE"
# xor ebx, ebx; mov eax, 1; int 0x80; padding.
printf '\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80\x90\x90\x90' >>"$PROBE"
chmod +x "$PROBE"
if ! "$PROBE" 2>/dev/null; then
    Answer 64 "this machine cannot run 32-bit programs"
fi
if [ -x /usr/lib/wine/wine ] && ! timeout 30 /usr/lib/wine/wine --version >/dev/null 2>&1; then
    Answer 64 "32-bit Wine is installed but does not start"
fi
Answer 32 "this machine runs 32-bit programs"
