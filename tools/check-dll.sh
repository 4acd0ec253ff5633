#!/usr/bin/env bash
# Checks the plug-in DLL's tables: it must export exactly the five entry points the
# host looks up, undecorated, and import nothing but system DLLs (a MinGW runtime
# DLL would be missing on the user's machine). The 32-bit DLL, the one that ships,
# must also import only functions that Windows 95 and NT 4.0 have: the host runs on
# them, and a DLL that imports a function the system lacks does not load at all (the
# plug-in looks such functions up at run time instead, src/ground/system_calls.h).
# Prints the tables it checked and every imported function. The DLL must also stay
# within 64 KiB: it carries no C++ runtime, and a C++ library part (exceptions,
# iostreams, a printf engine) creeping back in shows here first.
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

# The functions the 32-bit DLL may import, each in the named DLL of Windows 95 and of
# Windows NT 4.0. A function added here must be in both (the Win32 reference of the
# time lists the systems of each). The msvcrt.dll ones come from the MinGW start-up
# code and the plug-in's own few C calls; every msvcrt.dll has them, NT 4.0 ships the
# DLL, Windows 95 as first released may lack it (docs/INSTALL.txt says so).
ALLOWED_FUNCTIONS="
advapi32.dll RegCloseKey RegCreateKeyExA RegOpenKeyExA RegQueryValueExA RegSetValueExA
kernel32.dll DeleteCriticalSection EnterCriticalSection FreeLibrary
kernel32.dll GetConsoleScreenBufferInfo GetCurrentThreadId GetLastError GetModuleHandleA
kernel32.dll GetNumberOfConsoleInputEvents GetProcAddress GetProcessHeap GetStdHandle
kernel32.dll HeapAlloc HeapFree HeapReAlloc InitializeCriticalSection LeaveCriticalSection
kernel32.dll LoadLibraryA PeekConsoleInputA ReadConsoleInputA ReadConsoleOutputAttribute
kernel32.dll Sleep TlsGetValue VirtualProtect VirtualQuery WriteConsoleInputA lstrcmpA
user32.dll CharToOemA OemToCharA
msvcrt.dll _amsg_exit _initterm _iob _lock _unlock abort calloc free fwrite memchr
msvcrt.dll realloc strlen strncmp vfprintf
"

DUMP=$("$OBJDUMP" -p "$DLL")

EXPORT_LINES=$(printf '%s\n' "$DUMP" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p')
IMPORT_LINES=$(printf '%s\n' "$DUMP" | grep 'DLL Name:' || true)
# "dll function" per imported function; "dll #ordinal" for one imported by number.
FUNCTIONS=$(printf '%s\n' "$DUMP" | awk '
    /^The Import Tables/ { inside = 1; next }
    /^The Export Tables|^There is an export table/ { inside = 0 }
    !inside { next }
    /DLL Name:/ { dll = tolower($3); next }
    dll != "" && NF == 3 && $1 ~ /^[0-9a-fA-F]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3; next }
    dll != "" && /Ordinal|<none>/ { print dll, "#" $NF }')
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
if [ -z "$FUNCTIONS" ] && [ -n "$IMPORTS" ]; then
    echo "check-dll: FAILED: no imported function found in the import tables" >&2
    FAILED=1
fi
# The 64-bit build is a test build for machines without 32-bit Wine: 64-bit Windows
# has every function, so only the 32-bit DLL is held to the list; not the DLL for
# today's host either, which does not run on those systems.
if [ "$HOST3" -eq 1 ]; then
    HELD="the DLL for today's host: not held to the list of what Windows 95 and NT 4.0 have"
elif printf '%s\n' "$DUMP" | grep -q 'file format pei-i386'; then
    while read -r dll function; do
        [ -n "$dll" ] || continue
        if ! printf '%s\n' "$ALLOWED_FUNCTIONS" | grep -qE "^$dll( .*)? $function( |\$)"; then
            echo "check-dll: FAILED: imports $dll $function, which is not in the list of" \
                "functions that Windows 95 and NT 4.0 have" >&2
            FAILED=1
        fi
    done <<<"$FUNCTIONS"
    HELD="held to the list of what Windows 95 and NT 4.0 have"
else
    HELD="64-bit build: not held to the list of what Windows 95 and NT 4.0 have"
fi
BYTES=$(stat -c %s "$DLL")
echo "Size of $DLL: $BYTES bytes (at most $MAX_BYTES)"
if [ "$BYTES" -gt "$MAX_BYTES" ]; then
    echo "check-dll: FAILED: $BYTES bytes, more than $MAX_BYTES" >&2
    FAILED=1
fi
echo "Imported functions of $DLL ($HELD):"
printf '%s\n' "$FUNCTIONS" | awk '
    $1 != dll { if (line != "") print line; dll = $1; line = "  " dll ":" }
    { line = line " " $2 }
    END { if (line != "") print line }'
if [ "$FAILED" -ne 0 ]; then
    exit 1
fi
echo "check-dll: exports, imports (the functions above) and size OK"
