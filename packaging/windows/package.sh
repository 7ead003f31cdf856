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
(cd "$build/package" && zip -qr -X "$zip" ZELK)
echo "$zip"

exe="$build/zelk-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$exe" "$here/zelk.nsi"
echo "$exe"
