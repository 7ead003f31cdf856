#!/usr/bin/env bash
# Builds the static Windows (MinGW-w64) libraries ZELK links against, from the
# distribution's source packages, into a prefix under the user's cache folder:
#   libjpeg-turbo, GoogleTest, and Qt's qtbase (Core; with --gui also Gui,
#   Widgets, Network, PrintSupport, Test and the windows, offscreen and minimal
#   platform plugins).
# A stamp of the versions and Qt's features makes a second run with the same
# ones do nothing.
#
#   bash scripts/windows-deps.sh [--gui] [--print-prefix|--check] [--no-install]
#
# --check prints the prefix and exits with 0 only when it is built and up to date.
#
# ZELK_WINDEPS_ROOT (default ${XDG_CACHE_HOME:-~/.cache}/zelk/windows-deps)
# holds one prefix per set of versions and flavour; the prefix used is printed
# on the last line. Source lines come from the machine's own apt configuration
# (its "deb" lines read as "deb-src") in a private apt state under that folder:
# the machine's configuration is left as it is, and no root is needed for it.
# Installing missing packages needs root (or sudo without a password); without
# it the script names what is missing and stops.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
flavour=core
print_only=0
check_only=0
install=1
for arg in "$@"; do
  case "$arg" in
    --gui) flavour=gui ;;
    --print-prefix) print_only=1 ;;
    --check) check_only=1 ;;
    --no-install) install=0 ;;
    *) echo "windows-deps.sh: unknown option $arg (known: --gui, --print-prefix, --check, --no-install)" >&2; exit 2 ;;
  esac
done

cache=${XDG_CACHE_HOME:-$HOME/.cache}/zelk
root=${ZELK_WINDEPS_ROOT:-$cache/windows-deps}
jobs=${ZELK_JOBS:-2}
say() { echo "windows-deps.sh: $*" >&2; }
step_start=0
step() { step_start=$(date +%s); echo "== $*" >&2; }
step_done() { echo "   took $(( $(date +%s) - step_start )) s" >&2; }

# --- Packages: the cross compilers, Wine, NSIS, and what unpacks sources.
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then as_root=(sudo -n); else as_root=(none); fi
fi
host_arch=$(dpkg --print-architecture)
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          nsis python3 dpkg-dev cmake ninja-build ccache unzip
          qt6-base-dev qt6-base-dev-tools qt6-tools-dev-tools libgtest-dev googletest
          libcli11-dev nlohmann-json3-dev libtomlplusplus-dev xvfb xauth xdotool imagemagick)
# Wine runs the x86-64 programs only on an x86-64 machine.
[ "$host_arch" = amd64 ] && packages+=(wine wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ $install -eq 0 ] || [ "${as_root[*]}" = none ]; then
    say "missing packages: ${missing[*]}"
    say "installing them needs root: apt-get install ${missing[*]}"
    exit 1
  fi
  step "Packages: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
  step_done
fi
[ "$host_arch" = amd64 ] || say "this is a $host_arch machine: Wine cannot run the Windows tests here"

# --- A private apt state whose source lines are the machine's own, as deb-src.
aptdir=$root/apt
mkdir -p "$aptdir/sources.list.d" "$aptdir/lists/partial" "$aptdir/cache/archives/partial"
: >"$aptdir/sources.list"
apt_opts=(-o Dir::Etc::SourceList="$aptdir/sources.list" -o Dir::Etc::SourceParts="$aptdir/sources.list.d"
          -o Dir::State::Lists="$aptdir/lists" -o Dir::Cache="$aptdir/cache"
          -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)")
eval "$(apt-config shell sys_list Dir::Etc::sourcelist/f sys_parts Dir::Etc::sourceparts/d)"
derived=$aptdir/sources.list.d/machine.sources
{
  # One-line format: every "deb" line again as "deb-src".
  for f in "$sys_list" "$sys_parts"*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' "$f"
  done
} >"$aptdir/sources.list"
{
  # deb822 format: every enabled stanza with the type "deb", typed "deb-src".
  for f in "$sys_parts"*.sources; do
    [ -f "$f" ] && awk 'BEGIN { RS = ""; ORS = "\n\n" }
      /(^|\n)Types:[^\n]*[[:space:]]deb([[:space:]]|$)/ && !/(^|\n)Enabled:[[:space:]]*no/ {
        sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f"
  done
} >"$derived"
if [ ! -s "$derived" ] && [ ! -s "$aptdir/sources.list" ]; then
  say "no \"deb\" source lines in $sys_list or $sys_parts: cannot fetch sources"
  exit 1
fi
lists_age=$(( $(date +%s) - $(stat -c %Y "$aptdir/lists" 2>/dev/null || echo 0) ))
if ! ls "$aptdir/lists/"*Sources* >/dev/null 2>&1 || [ $lists_age -gt 86400 ]; then
  # A source without source packages (some third-party ones) only warns.
  apt-get "${apt_opts[@]}" update -qq >&2 || say "apt-get update of the source lists reported errors (above)"
  touch "$aptdir/lists"
fi

# --- Versions: of the sources the machine's package sources offer, and of the compiler.
srcver() { apt-cache "${apt_opts[@]}" showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -V | tail -1; }
qt_ver=$(srcver qt6-base)
jpeg_ver=$(srcver libjpeg-turbo)
gtest_ver=$(dpkg-query -W -f='${Version}' googletest)
gcc_ver=$(x86_64-w64-mingw32-g++-posix -dumpversion)
[ -n "$qt_ver" ] && [ -n "$jpeg_ver" ] || { say "no source package qt6-base or libjpeg-turbo in the machine's package sources"; exit 1; }
# Debian's moc, rcc and uic run during the build: they must be the same Qt.
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev)
[ "${host_qt%%-*}" = "${qt_ver%%-*}" ] || { say "qt6-base-dev $host_qt and the source qt6-base $qt_ver differ"; exit 1; }
tag="qt${qt_ver}-jpeg${jpeg_ver}-gtest${gtest_ver}-gcc${gcc_ver}"
tag=${tag//[^A-Za-z0-9.+-]/_}
prefix="$root/$tag-$flavour"
# Qt: static, with the host's moc/rcc/uic, and only what ZELK uses: the build
# time goes mostly into modules and plugins nobody links.
qt_features=(-DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
             -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF
             -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
             -DFEATURE_openssl=OFF)
if [ "$flavour" = core ]; then
  qt_features+=(-DFEATURE_gui=OFF -DFEATURE_widgets=OFF -DFEATURE_network=OFF -DFEATURE_testlib=OFF
                -DFEATURE_printsupport=OFF)
else
  # Network only for the local socket that finds a running instance; no
  # OpenGL, Vulkan or Direct2D (the window paints with QPainter); PrintSupport
  # and the PDF writer for the kneeboard card.
  qt_features+=(-DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_network=ON -DFEATURE_testlib=ON
                -DFEATURE_printsupport=ON -DFEATURE_pdf=ON
                -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
                -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF -DFEATURE_http=OFF -DFEATURE_networkdiskcache=OFF
                -DFEATURE_dnslookup=OFF -DFEATURE_gssapi=OFF -DFEATURE_sctp=OFF
                -DFEATURE_tabletevent=OFF -DFEATURE_sessionmanager=OFF
                -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
                -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
                -DFEATURE_textodfwriter=OFF -DFEATURE_accessibility=ON
                -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF)
  # Qt 6.4 compiles its DirectWrite font engine only together with Direct2D,
  # yet the windows platform and the printer still call it when DirectWrite
  # is on: zelk.exe would not link. GDI draws the text, as it does by default.
fi
# The stamp names the versions and Qt's features: a prefix built with other
# features is built again (in the same work folder, so only what the change
# touches is compiled anew).
stamp="$prefix/.zelk-deps-stamp"
stamp_text=$(printf 'qt6-base %s\nlibjpeg-turbo %s\ngoogletest %s\nmingw g++ %s\nflavour %s\nqt features %s\n' \
  "$qt_ver" "$jpeg_ver" "$gtest_ver" "$gcc_ver" "$flavour" "${qt_features[*]}")
up_to_date() { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; }
if [ $print_only -eq 1 ]; then echo "$prefix"; exit 0; fi
if [ $check_only -eq 1 ]; then
  echo "$prefix"
  up_to_date
  exit
fi
if up_to_date; then
  echo "Windows dependencies up to date in $prefix" >&2
  echo "$prefix"
  exit 0
fi
# Two runs building one prefix at once would break each other's build.
mkdir -p "$root"
exec 9>"$root/.lock-$tag-$flavour"
flock -n 9 || { say "another windows-deps.sh builds $prefix: waiting for it"; flock 9; }
# Another run may have finished it before the lock was ours.
if up_to_date; then echo "$prefix"; exit 0; fi
if [ -f "$stamp" ]; then say "$prefix was built with other Qt features: building it again"; fi

total_start=$(date +%s)
work="$root/work/$tag"
src="$root/src"
mkdir -p "$prefix" "$work" "$src"
# The work folders outlive the checkout that started them: CMake keeps the
# toolchain file's path, so they get a copy of their own; one configured from
# another checkout is pointed at it.
toolchain="$work/mingw-w64-x86_64.cmake"
cmp -s "$here/cmake/mingw-w64-x86_64.cmake" "$toolchain" || cp "$here/cmake/mingw-w64-x86_64.cmake" "$toolchain"
for f in "$work"/*/CMakeFiles/*/CMakeSystem.cmake; do
  if [ -f "$f" ]; then sed -i "s|^include(\".*/mingw-w64-x86_64.cmake\")|include(\"$toolchain\")|" "$f"; fi
done
export CCACHE_DIR=${ZELK_CCACHE_DIR:-$cache/ccache}
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain"
        -DZELK_WINDEPS="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix"
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

fetch() { # package version -> unpacked folder
  local dir up=${2#*:}
  up=${up%%[-+]*}
  dir=$(find "$src" -maxdepth 1 -type d -name "$1-$up*" | head -1)
  if [ -z "$dir" ]; then
    (cd "$src" && apt-get "${apt_opts[@]}" source -qq "$1=$2" >/dev/null)
    dir=$(find "$src" -maxdepth 1 -type d -name "$1-$up*" | head -1)
  fi
  [ -n "$dir" ] || { say "apt-get source $1=$2 unpacked nothing in $src"; exit 1; }
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

# Header-only libraries come from the distribution's -dev packages: their
# headers and CMake packages are architecture-independent.
step "Header-only libraries (CLI11, nlohmann-json, toml++)"
mkdir -p "$prefix/include" "$prefix/share/cmake" "$prefix/lib/cmake" "$prefix/lib/pkgconfig"
cp -r /usr/include/CLI /usr/include/nlohmann /usr/include/toml++ "$prefix/include/"
cp -r /usr/share/cmake/CLI11 /usr/share/cmake/nlohmann_json "$prefix/share/cmake/" 2>/dev/null || true
for d in /usr/lib/cmake/CLI11 /usr/lib/cmake/nlohmann_json; do
  if [ -d "$d" ]; then cp -r "$d" "$prefix/lib/cmake/"; fi
done
# toml++ is packaged as a shared library; for Windows it is used header-only.
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

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
step "qtbase $qt_ver ($flavour, static): configure (log $work/qt-$flavour.log)"
cmake -S "$qt_src" -B "$work/qt-$flavour" "${common[@]}" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$multiarch/cmake" \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DBUILD_SHARED_LIBS=OFF \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  "${qt_features[@]}" >"$work/qt-$flavour.log" 2>&1 || { tail -40 "$work/qt-$flavour.log" >&2; exit 1; }
step_done
step "qtbase $qt_ver ($flavour, static): build"
nice -n 19 cmake --build "$work/qt-$flavour" -j"$jobs" >>"$work/qt-$flavour.log" 2>&1 || { tail -40 "$work/qt-$flavour.log" >&2; exit 1; }
cmake --install "$work/qt-$flavour" >>"$work/qt-$flavour.log" 2>&1
step_done

echo "$stamp_text" >"$stamp"
echo "Windows dependencies built in $(( $(date +%s) - total_start )) s into $prefix" >&2
echo "$prefix"
