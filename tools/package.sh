#!/usr/bin/env bash
# Builds the release package dist/Tarvik-<version>.zip: the 32-bit DLL, both
# language files, both help files (code page 437 / 866 text with the key map
# generated from the binding tables) and the installation text, all in a folder
# Tarvik/ that the user unpacks into the host's plug-ins folder.
#
# Build directories: build/ci-package (the DLL), build/ci-keymap (the native key
# map generator).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-2}
WIN_DIR=build/ci-package
GEN_DIR=build/ci-keymap

if [ -z "${TARVIK_NO_INSTALL:-}" ]; then
    bash tools/install-deps.sh package
fi

mkdir -p build
echo "==== Windows DLL ($WIN_DIR) ===="
cmake --preset win32 -B "$WIN_DIR" -DTARVIK_TESTS=OFF >"$WIN_DIR.configure.log" 2>&1 ||
    { cat "$WIN_DIR.configure.log"; exit 1; }
cmake --build "$WIN_DIR" -j "$JOBS" --target Tarvik
bash tools/check-dll.sh "$WIN_DIR/Tarvik.dll"
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WIN_DIR/CMakeCache.txt")
[ -n "$VERSION" ] || { echo "package.sh: no project version" >&2; exit 1; }

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

echo "==== help files ===="
STAGE=$ROOT/build/ci-package/stage
rm -rf "$STAGE"
mkdir -p "$STAGE/Tarvik" dist
python3 help/make_help.py "$GEN_DIR/keymap-eng.hlf" help/TarvikEng.hlf.in cp437 \
    "$STAGE/Tarvik/TarvikEng.hlf"
python3 help/make_help.py "$GEN_DIR/keymap-rus.hlf" help/TarvikRus.hlf.in cp866 \
    "$STAGE/Tarvik/TarvikRus.hlf"

cp "$WIN_DIR/Tarvik.dll" lng/TarvikEng.lng lng/TarvikRus.lng "$STAGE/Tarvik/"
# Windows line ends, so that Notepad shows the text as written.
sed 's/$/\r/' docs/INSTALL.txt >"$STAGE/Tarvik/INSTALL.txt"

ZIP=$ROOT/dist/Tarvik-$VERSION.zip
rm -f "$ZIP"
(cd "$STAGE" && zip -q -X -r "$ZIP" Tarvik)

echo "==== $(realpath --relative-to="$ROOT" "$ZIP") ===="
python3 - "$ZIP" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    infos = sorted((i for i in z.infolist() if not i.is_dir()), key=lambda i: i.filename)
    print(f"{'bytes':>9}  {'packed':>9}  name")
    for i in infos:
        print(f"{i.file_size:>9}  {i.compress_size:>9}  {i.filename}")
    print(f"{sum(i.file_size for i in infos):>9}  {sum(i.compress_size for i in infos):>9}"
          f"  {len(infos)} files")
PY
echo "Tarvik.dll: $(stat -c %s "$STAGE/Tarvik/Tarvik.dll") bytes; archive: $(stat -c %s "$ZIP") bytes"
