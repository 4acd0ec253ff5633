#!/usr/bin/env bash
# Checks the plug-in DLL's tables: it must export exactly the five entry points the
# host looks up, undecorated, and import nothing but system DLLs (a MinGW runtime
# DLL would be missing on the user's machine). Prints the tables it checked. The
# DLL must also stay within 64 KiB: it carries no C++ runtime, and a C++ library
# part (exceptions, iostreams, a printf engine) creeping back in shows here first.
#
#   tools/check-dll.sh build/win32/Tarvik.dll
#   tools/check-dll.sh --host3 build/win32/host3/Tarvik3.dll   the DLL for today's host
#       (x86 or x64; OBJDUMP=x86_64-w64-mingw32-objdump for x64): its seven entry points
set -euo pipefail

HOST3=0
if [ "${1:-}" = --host3 ]; then
    HOST3=1
    shift
fi
DLL=${1:?usage: $0 [--host3] Tarvik.dll}
OBJDUMP=${OBJDUMP:-i686-w64-mingw32-objdump}
EXPECTED_EXPORTS="GetPluginInfo OpenPlugin ProcessEditorEvent ProcessEditorInput SetStartupInfo"
ALLOWED_IMPORTS="kernel32.dll user32.dll advapi32.dll msvcrt.dll"
MAX_BYTES=65536
if [ "$HOST3" -eq 1 ]; then
    EXPECTED_EXPORTS="ExitFARW GetGlobalInfoW GetPluginInfoW OpenW ProcessEditorEventW"
    EXPECTED_EXPORTS="$EXPECTED_EXPORTS ProcessEditorInputW SetStartupInfoW"
fi

DUMP=$("$OBJDUMP" -p "$DLL")

EXPORT_LINES=$(printf '%s\n' "$DUMP" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p')
IMPORT_LINES=$(printf '%s\n' "$DUMP" | grep 'DLL Name:' || true)
echo "Export table of $DLL:"
printf '%s\n' "$EXPORT_LINES"
echo "Imports of $DLL:"
printf '%s\n' "$IMPORT_LINES"

FAILED=0
EXPORTS=$(printf '%s\n' "$EXPORT_LINES" | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ' | sed 's/ $//')
if [ "$EXPORTS" != "$EXPECTED_EXPORTS" ]; then
    echo "check-dll: FAILED: exports are '$EXPORTS', expected '$EXPECTED_EXPORTS'" >&2
    FAILED=1
fi
# An export by ordinal only has no name: count the address table as well.
ADDRESSES=$(printf '%s\n' "$DUMP" | sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-fA-F]*\)$/\1/p' | head -n 1)
EXPORT_COUNT=$(echo "$EXPECTED_EXPORTS" | wc -w)
if [ "$((16#${ADDRESSES:-0}))" -ne "$EXPORT_COUNT" ]; then
    echo "check-dll: FAILED: the export address table holds $((16#${ADDRESSES:-0})) entries, expected $EXPORT_COUNT" >&2
    FAILED=1
fi
IMPORTS=$(printf '%s\n' "$IMPORT_LINES" | sed 's/.*DLL Name:[[:space:]]*//' | tr 'A-Z' 'a-z')
if [ -z "$IMPORTS" ]; then
    echo "check-dll: FAILED: no import table found" >&2
    FAILED=1
fi
for dll in $IMPORTS; do
    case " $ALLOWED_IMPORTS " in
        *" $dll "*) ;;
        *)
            echo "check-dll: FAILED: imports $dll, which is not a system DLL" >&2
            FAILED=1
            ;;
    esac
done
BYTES=$(stat -c %s "$DLL")
echo "Size of $DLL: $BYTES bytes (at most $MAX_BYTES)"
if [ "$BYTES" -gt "$MAX_BYTES" ]; then
    echo "check-dll: FAILED: $BYTES bytes, more than $MAX_BYTES" >&2
    FAILED=1
fi
if [ "$FAILED" -ne 0 ]; then
    exit 1
fi
echo "check-dll: exports, imports and size OK"
