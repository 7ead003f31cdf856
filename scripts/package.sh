#!/usr/bin/env bash
# Builds the Debian package zelk_<version>_<arch>.deb in build-package/ (or
# $BUILD_DIR) and checks it with lintian, appstreamcli and
# desktop-file-validate. Installs what it needs first (as root, or via sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${BUILD_DIR:-build-package}

bash scripts/install-deps.sh
tools=(lintian appstream desktop-file-utils dpkg-dev file)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$dir/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_BUILD_TESTS=OFF -DZELK_BUILD_BENCH=OFF \
    "${launcher[@]}"
fi
cmake --build "$dir" -j"$(nproc)"
rm -f "$dir"/zelk_*.deb
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/zelk_*.deb)

# The desktop files as installed, then the package as Debian sees it.
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
dpkg-deb -x "$deb" "$check"
desktop-file-validate "$check"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$check"/usr/share/metainfo/*.metainfo.xml
lintian --fail-on error "$deb"
echo "$deb: built and checked; install with: apt install ./$deb"
