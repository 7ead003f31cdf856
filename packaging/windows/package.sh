#!/usr/bin/env bash
# Makes the pilot's download from a Windows build folder: a zip that unpacks
# into <simulator>\ZELK\ and an NSIS installer, both left in that folder.
#   bash packaging/windows/package.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
stage="$build/package/ZELK"
rm -rf "$build/package"
mkdir -p "$stage"
# The programs and their data files; the simulator stand-in stays out, it
# would take the real simulator's name.
for f in zelk.exe zelk-cli.exe zelk-pack.exe; do
  cp "$build/bin/$f" "$stage/"
  x86_64-w64-mingw32-strip "$stage/$f"
done
cp "$build"/demo/sim/ZELK/orvak_zelk.rc? "$stage/"
cp "$here/readme.txt" "$stage/ЧИТАЙ.txt"

zip="$build/zelk-$version-windows.zip"
rm -f "$zip"
# Python's zip marks names as UTF-8, so Windows shows ЧИТАЙ.txt as it is
# (Info-ZIP leaves the flag unset and Explorer reads the name as CP866).
python3 - "$build/package" "$zip" <<'PY'
import os, sys, zipfile
root, out = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(dirs + files):
            path = os.path.join(folder, name)
            z.write(path, os.path.relpath(path, root))
PY
echo "$zip"

exe="$build/zelk-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$exe" "$here/zelk.nsi"
echo "$exe"

# Try the installer as a pilot would, silently, under Wine: into a simulator
# folder with a Cyrillic name that already holds a mission, then uninstall.
# The programs must land in ZELK\, the menu entry must appear, and the
# uninstaller must take only what the installer put there.
if command -v wine >/dev/null; then
  drive=$(winepath -u 'C:\' 2>/dev/null)
  check="zelk-install-check-$$"
  sim="$drive/$check/Игры/ORVAK"
  mkdir -p "$sim/Missions/Single/RU/ZELK"
  echo kept >"$sim/Missions/Single/RU/ZELK/zelk0001.mis"
  fail() { echo "package.sh: installer check: $*" >&2; rm -rf "${drive:?}/$check"; exit 1; }
  wine "$exe" /S "/D=C:\\$check\\Игры\\ORVAK" || fail "the installer failed"
  for f in zelk.exe zelk-cli.exe zelk-pack.exe uninstall.exe orvak_zelk.rc0; do
    [ -f "$sim/ZELK/$f" ] || fail "ZELK\\$f not installed"
  done
  menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/ZELK/ZELK.lnk"
  [ -f "$menu" ] || fail "no Start-menu entry"
  # _?= keeps the uninstaller in place, so that Wine waits for it.
  wine "$sim/ZELK/uninstall.exe" /S "_?=C:\\$check\\Игры\\ORVAK\\ZELK" || fail "the uninstaller failed"
  for f in zelk.exe zelk-cli.exe orvak_zelk.rc0; do
    [ ! -e "$sim/ZELK/$f" ] || fail "ZELK\\$f left after uninstalling"
  done
  [ ! -e "$menu" ] || fail "Start-menu entry left after uninstalling"
  [ "$(cat "$sim/Missions/Single/RU/ZELK/zelk0001.mis")" = kept ] || fail "a mission was touched"
  rm -rf "${drive:?}/$check"
  echo "installer check: installed, found in the Start menu, uninstalled; missions kept"
fi
