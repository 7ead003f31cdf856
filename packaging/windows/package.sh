#!/usr/bin/env bash
# Makes the pilot's download from a Windows build folder: a zip that unpacks
# into <simulator>\ZELK\ and an NSIS installer, both left in that folder.
# pilot-check.sh then tries both as a pilot would.
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
