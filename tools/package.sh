#!/usr/bin/env bash
# Builds the two release packages:
#
#   dist/Tarvik-<version>.zip          for the 1.70 host: the 32-bit DLL, both
#       language files, both help files (code page 437 / 866 text with the key map
#       generated from the binding tables) and the installation text, all in a
#       folder Tarvik/ that the user unpacks into the host's plug-ins folder.
#   dist/Tarvik-<version>-unicode.zip  for today's host (the Unicode interface of
#       generation 3): Tarvik-unicode/x64/Tarvik/ and Tarvik-unicode/x86/Tarvik/,
#       each with that build's DLL (named Tarvik.dll) and its own copies of the
#       language and help files in UTF-8, and the installation text for today's
#       host beside them; the user copies the one Tarvik/ folder that matches the
#       host into its plug-ins folder.
#
# The texts of both come from the same sources: lng/*.lng, help/*.hlf.in and
# docs/INSTALL.txt, whose passages for one host only are marked (tools/host_text.py).
#
# Build directories: build/ci-package (the x86 DLLs), build/ci-package64 (the x64
# DLL), build/ci-keymap (the native key map generator).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-2}
WIN_DIR=build/ci-package
WIN64_DIR=build/ci-package64
GEN_DIR=build/ci-keymap

if [ -z "${TARVIK_NO_INSTALL:-}" ]; then
    bash tools/install-deps.sh package
fi

# Configures preset $1 into directory $2 (its log beside it) and builds the targets after.
BuildWindows() {
    local preset=$1 dir=$2
    shift 2
    cmake --preset "$preset" -B "$dir" -DTARVIK_TESTS=OFF >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; exit 1; }
    cmake --build "$dir" -j "$JOBS" --target "$@"
}

# Fails unless DLL $2, read by objdump $1, is of file format $3: each folder of the
# Unicode package must hold the DLL that its host can load.
CheckMachine() {
    local format
    format=$("$1" -f "$2" | sed -n 's/.*file format //p')
    [ "$format" = "$3" ] || { echo "package.sh: $2 is '$format', not $3" >&2; exit 1; }
}

mkdir -p build
echo "==== Windows DLLs, x86 ($WIN_DIR) ===="
BuildWindows win32 "$WIN_DIR" Tarvik Tarvik3
bash tools/check-dll.sh "$WIN_DIR/Tarvik.dll"
DLL3_X86=$WIN_DIR/host3/Tarvik3.dll
bash tools/check-dll.sh --host3 "$DLL3_X86"
CheckMachine i686-w64-mingw32-objdump "$DLL3_X86" pei-i386
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WIN_DIR/CMakeCache.txt")
[ -n "$VERSION" ] || { echo "package.sh: no project version" >&2; exit 1; }

echo "==== Windows DLL for today's host, x64 ($WIN64_DIR) ===="
BuildWindows win64 "$WIN64_DIR" Tarvik3
DLL3_X64=$WIN64_DIR/host3/Tarvik3.dll
OBJDUMP=x86_64-w64-mingw32-objdump bash tools/check-dll.sh --host3 "$DLL3_X64"
CheckMachine x86_64-w64-mingw32-objdump "$DLL3_X64" pei-x86-64

# The key map in the help files comes from the binding tables themselves.
echo "==== key map generator ($GEN_DIR) ===="
cmake -S . -B "$GEN_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_TESTS=OFF \
    >"$GEN_DIR.configure.log" 2>&1 || { cat "$GEN_DIR.configure.log"; exit 1; }
cmake --build "$GEN_DIR" -j "$JOBS" --target tarvik_keymap
GENERATOR=$(find "$GEN_DIR" -type f -name tarvik_keymap -perm -u+x | head -n 1)
[ -n "$GENERATOR" ] || { echo "package.sh: tarvik_keymap was not built" >&2; exit 1; }
# Each help file gets the key map in its own language (code page 437 / 866 text).
"$GENERATOR" --hlf --lang eng -o "$ROOT/$GEN_DIR/keymap-eng.hlf"
"$GENERATOR" --hlf --lang rus -o "$ROOT/$GEN_DIR/keymap-rus.hlf"

echo "==== language and help files ===="
STAGE=$ROOT/build/ci-package/stage
OLD=$STAGE/Tarvik
UNICODE=$STAGE/Tarvik-unicode
rm -rf "$STAGE"
mkdir -p "$OLD" "$UNICODE/x86/Tarvik" "$UNICODE/x64/Tarvik" dist
for entry in Eng:cp437:eng Rus:cp866:rus; do
    IFS=: read -r name codepage lang <<<"$entry"
    # The 1.70 host's files: the language file as it is, the help in its code page.
    cp "lng/Tarvik$name.lng" "$OLD/"
    python3 help/make_help.py --host 1.70 "$GEN_DIR/keymap-$lang.hlf" "help/Tarvik$name.hlf.in" \
        "$codepage" "$OLD/Tarvik$name.hlf"
    # Today's host's files, UTF-8 with a byte-order mark, a copy for each DLL.
    python3 tools/make_lng3.py "lng/Tarvik$name.lng" "$codepage" "$UNICODE/x86/Tarvik/Tarvik$name.lng"
    python3 help/make_help.py --host 3 "$GEN_DIR/keymap-$lang.hlf" "help/Tarvik$name.hlf.in" \
        "$codepage" "$UNICODE/x86/Tarvik/Tarvik$name.hlf"
    cp "$UNICODE/x86/Tarvik/Tarvik$name.lng" "$UNICODE/x86/Tarvik/Tarvik$name.hlf" \
        "$UNICODE/x64/Tarvik/"
done
cp "$WIN_DIR/Tarvik.dll" "$OLD/"
cp "$DLL3_X86" "$UNICODE/x86/Tarvik/Tarvik.dll"
cp "$DLL3_X64" "$UNICODE/x64/Tarvik/Tarvik.dll"
# Windows line ends, so that Notepad shows the text as written.
python3 tools/host_text.py --host 1.70 docs/INSTALL.txt "$OLD/INSTALL.txt"
python3 tools/host_text.py --host 3 docs/INSTALL.txt "$UNICODE/INSTALL.txt"
# That text names the file of the plug-in's settings by the plug-in's GUID.
GUID=$(python3 - src/access/host3/host_services.cpp <<'PY'
import re, sys
m = re.search(r"PluginId\s*=\s*\{\s*0x(\w+),\s*0x(\w+),\s*0x(\w+),\s*\{([^}]*)\}",
              open(sys.argv[1]).read())
if m:
    d = [int(b, 16) for b in m.group(4).split(",")]
    print("%08X-%04X-%04X-%02X%02X-%s" % (int(m.group(1), 16), int(m.group(2), 16),
          int(m.group(3), 16), d[0], d[1], "".join("%02X" % b for b in d[2:])))
PY
)
if [ -z "$GUID" ] || ! grep -q "$GUID" "$UNICODE/INSTALL.txt"; then
    echo "package.sh: docs/INSTALL.txt does not name the plug-in's GUID '$GUID'" >&2
    exit 1
fi

# Zips folder $2 of the stage as $1 and lists what the zip holds.
Pack() {
    local zip=$1 folder=$2
    rm -f "$zip"
    (cd "$STAGE" && zip -q -X -r "$zip" "$folder")
    echo "==== $(realpath --relative-to="$ROOT" "$zip") ===="
    python3 - "$zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    infos = sorted((i for i in z.infolist() if not i.is_dir()), key=lambda i: i.filename)
    print(f"{'bytes':>9}  {'packed':>9}  name")
    for i in infos:
        print(f"{i.file_size:>9}  {i.compress_size:>9}  {i.filename}")
    print(f"{sum(i.file_size for i in infos):>9}  {sum(i.compress_size for i in infos):>9}"
          f"  {len(infos)} files")
PY
}
ZIP=$ROOT/dist/Tarvik-$VERSION.zip
ZIP3=$ROOT/dist/Tarvik-$VERSION-unicode.zip
Pack "$ZIP" Tarvik
echo "Tarvik.dll: $(stat -c %s "$OLD/Tarvik.dll") bytes; archive: $(stat -c %s "$ZIP") bytes"
Pack "$ZIP3" Tarvik-unicode
echo "x86/Tarvik/Tarvik.dll: $(stat -c %s "$UNICODE/x86/Tarvik/Tarvik.dll") bytes;" \
    "x64/Tarvik/Tarvik.dll: $(stat -c %s "$UNICODE/x64/Tarvik/Tarvik.dll") bytes;" \
    "archive: $(stat -c %s "$ZIP3") bytes"
