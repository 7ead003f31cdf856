#!/usr/bin/env bash
# Builds the static Windows (MinGW-w64) libraries ZELK links against, from
# Debian's source packages, into a prefix outside the checkout:
#   libjpeg-turbo, GoogleTest, and Qt's qtbase (Core; with --gui also Gui,
#   Widgets, Network, Test and the windows and offscreen platform plugins).
# A stamp of the versions makes a second run with the same versions do nothing.
#
#   bash scripts/windows-deps.sh [--gui] [--print-prefix]
#
# ZELK_WINDEPS_ROOT (default /var/cache/zelk/windows-deps) holds one prefix per
# set of versions and flavour; the prefix used is printed on the last line.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
flavour=core
print_only=0
for arg in "$@"; do
  case "$arg" in
    --gui) flavour=gui ;;
    --print-prefix) print_only=1 ;;
    *) echo "windows-deps.sh: unknown option $arg (known: --gui, --print-prefix)" >&2; exit 2 ;;
  esac
done

root=${ZELK_WINDEPS_ROOT:-/var/cache/zelk/windows-deps}
jobs=${ZELK_JOBS:-2}
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

step_start=0
step() { step_start=$(date +%s); echo "== $*"; }
step_done() { echo "   took $(( $(date +%s) - step_start )) s"; }

# --- Debian packages: the cross compilers, Wine, NSIS, and deb-src for sources.
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine64 nsis python3 dpkg-dev cmake ninja-build ccache
          qt6-base-dev qt6-base-dev-tools libgtest-dev googletest
          libcli11-dev nlohmann-json3-dev libtomlplusplus-dev xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
srclist=/etc/apt/sources.list.d/zelk-src.sources
need_src=0
grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/ || need_src=1
if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  step "Debian packages: ${missing[*]:-(sources only)}"
  if [ $need_src -eq 1 ]; then
    $SUDO tee "$srclist" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  fi
  $SUDO apt-get update -qq
  [ ${#missing[@]} -gt 0 ] && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
  step_done
fi

# --- Versions: of the sources Debian offers now, and of the compiler.
srcver() { apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -V | tail -1; }
qt_ver=$(srcver qt6-base)
jpeg_ver=$(srcver libjpeg-turbo)
gtest_ver=$(dpkg-query -W -f='${Version}' googletest)
gcc_ver=$(x86_64-w64-mingw32-g++-posix -dumpversion)
[ -n "$qt_ver" ] && [ -n "$jpeg_ver" ] || { echo "windows-deps.sh: apt-cache showsrc finds no qt6-base or libjpeg-turbo (deb-src missing?)" >&2; exit 1; }
tag="qt${qt_ver}-jpeg${jpeg_ver}-gtest${gtest_ver}-gcc${gcc_ver}"
tag=${tag//[^A-Za-z0-9.+-]/_}
prefix="$root/$tag-$flavour"
if [ $print_only -eq 1 ]; then echo "$prefix"; exit 0; fi

stamp="$prefix/.zelk-deps-stamp"
if [ -f "$stamp" ]; then
  echo "Windows dependencies up to date in $prefix"
  echo "$prefix"
  exit 0
fi

total_start=$(date +%s)
work="$root/work/$tag"
src="$root/src"
mkdir -p "$prefix" "$work" "$src"
toolchain="$here/cmake/mingw-w64-x86_64.cmake"
export CCACHE_DIR=${CCACHE_DIR:-/var/cache/zelk/ccache}
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain"
        -DZELK_WINDEPS="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix"
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

fetch() { # package version -> unpacked folder
  local dir up=${2#*:}
  up=${up%%[-+]*}
  dir=$(find "$src" -maxdepth 1 -type d -name "$1-$up*" | head -1)
  if [ -z "$dir" ]; then
    (cd "$src" && apt-get source -qq "$1=$2" >/dev/null)
    dir=$(find "$src" -maxdepth 1 -type d -name "$1-$up*" | head -1)
  fi
  echo "$dir"
}

step "Sources: qt6-base $qt_ver, libjpeg-turbo $jpeg_ver"
qt_src=$(fetch qt6-base "$qt_ver")
jpeg_src=$(fetch libjpeg-turbo "$jpeg_ver")
step_done

step "libjpeg-turbo $jpeg_ver (static)"
[ -f "$prefix/lib/libjpeg.a" ] || {
cmake -S "$jpeg_src" -B "$work/jpeg-$flavour" "${common[@]}" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF >"$work/jpeg-$flavour.log"
nice -n 19 cmake --build "$work/jpeg-$flavour" -j"$jobs" >>"$work/jpeg-$flavour.log"
cmake --install "$work/jpeg-$flavour" >>"$work/jpeg-$flavour.log"
}
step_done

step "GoogleTest $gtest_ver (static)"
[ -f "$prefix/lib/libgtest.a" ] || {
cmake -S /usr/src/googletest -B "$work/gtest-$flavour" "${common[@]}" -DBUILD_GMOCK=ON >"$work/gtest-$flavour.log"
nice -n 19 cmake --build "$work/gtest-$flavour" -j"$jobs" >>"$work/gtest-$flavour.log"
cmake --install "$work/gtest-$flavour" >>"$work/gtest-$flavour.log"
}
step_done

# Header-only libraries come from Debian's -dev packages: their headers and
# CMake packages are architecture-independent.
step "Header-only libraries (CLI11, nlohmann-json, toml++)"
mkdir -p "$prefix/include" "$prefix/share/cmake" "$prefix/lib/cmake" "$prefix/lib/pkgconfig"
cp -r /usr/include/CLI /usr/include/nlohmann /usr/include/toml++ "$prefix/include/"
cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$prefix/share/cmake/" 2>/dev/null || true
for d in /usr/lib/cmake/CLI11 /usr/lib/cmake/nlohmann_json; do
  if [ -d "$d" ]; then cp -r "$d" "$prefix/lib/cmake/"; fi
done
# Debian builds toml++ as a shared library; for Windows it is used header-only.
mkdir -p "$prefix/lib/cmake/tomlplusplus"
cat >"$prefix/lib/cmake/tomlplusplus/tomlplusplusConfig.cmake" <<'EOF'
if(NOT TARGET tomlplusplus::tomlplusplus)
  add_library(tomlplusplus::tomlplusplus INTERFACE IMPORTED)
  set_target_properties(tomlplusplus::tomlplusplus PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/../../../include")
endif()
EOF
# Their config files name /usr/include; point them at the prefix.
{ grep -rl '/usr/include' "$prefix/lib/cmake" "$prefix/share/cmake" 2>/dev/null || true; } |
  xargs -r sed -i "s|/usr/include|$prefix/include|g"
step_done

# Qt: only what ZELK uses, static, with Debian's host moc/rcc/uic.
qt_features=(-DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
             -DFEATURE_printsupport=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF
             -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
             -DFEATURE_sql=OFF -DFEATURE_testlib=OFF -DFEATURE_openssl=OFF)
if [ "$flavour" = core ]; then
  qt_features+=(-DFEATURE_gui=OFF -DFEATURE_widgets=OFF -DFEATURE_network=OFF)
else
  qt_features+=(-DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_network=ON -DFEATURE_testlib=ON
                -DFEATURE_tabletevent=OFF -DINPUT_opengl=desktop -DFEATURE_opengl=ON
                -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_sessionmanager=OFF
                -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
                -DFEATURE_vulkan=OFF -DFEATURE_sql=OFF -DFEATURE_accessibility=ON)
fi
step "qtbase $qt_ver ($flavour, static): configure"
cmake -S "$qt_src" -B "$work/qt-$flavour" "${common[@]}" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DBUILD_SHARED_LIBS=OFF \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  "${qt_features[@]}" >"$work/qt-$flavour.log" 2>&1 || { tail -40 "$work/qt-$flavour.log"; exit 1; }
step_done
step "qtbase $qt_ver ($flavour, static): build (log $work/qt-$flavour.log)"
nice -n 19 cmake --build "$work/qt-$flavour" -j"$jobs" >>"$work/qt-$flavour.log" 2>&1 || { tail -40 "$work/qt-$flavour.log"; exit 1; }
cmake --install "$work/qt-$flavour" >>"$work/qt-$flavour.log" 2>&1
step_done

printf 'qt6-base %s\nlibjpeg-turbo %s\ngoogletest %s\nmingw g++ %s\nflavour %s\n' \
  "$qt_ver" "$jpeg_ver" "$gtest_ver" "$gcc_ver" "$flavour" >"$stamp"
echo "Windows dependencies built in $(( $(date +%s) - total_start )) s into $prefix"
echo "$prefix"
