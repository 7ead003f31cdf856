#!/usr/bin/env bash
# Cross-builds ZELK for Windows with MinGW-w64, runs the tests under Wine and
# makes the pilot's download (zip and installer), then tries that download as
# a pilot would (packaging/windows/pilot-check.sh).
#
#   bash scripts/windows.sh          # everything; builds the static Qt Gui first when it is missing
#   bash scripts/windows.sh --ci     # everything when the static Qt Gui is cached, else Qt Core
#                                    # only: core, zelk-cli, zelk-pack, the monitor and their tests
#
# The static libraries are built by scripts/windows-deps.sh into the user's
# cache folder (ZELK_WINDEPS_ROOT moves it), outside the checkout.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
ci=0
for arg in "$@"; do
  case "$arg" in
    --ci) ci=1 ;;
    *) echo "windows.sh: unknown option $arg (known: --ci)" >&2; exit 2 ;;
  esac
done

jobs=${ZELK_JOBS:-2}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/zelk
export CCACHE_DIR=${CCACHE_DIR:-$cache/ccache} CCACHE_BASEDIR=$here
t0=$(date +%s)
step_start=0
step() { step_start=$(date +%s); echo "== $*"; }
step_done() { echo "   took $(( $(date +%s) - step_start )) s"; }

bash scripts/install-deps.sh
host=build-win-host
gui=1
if [ $ci -eq 1 ]; then
  if ! gui_prefix=$(bash scripts/windows-deps.sh --gui --check | tail -1); then
    gui=0
    echo "windows.sh: no static Qt Gui built and up to date in $gui_prefix: zelk.exe, its tests under Wine, the zip and the installer are skipped (bash scripts/windows-deps.sh --gui builds it)"
  fi
fi
step "Windows dependencies"
if [ $gui -eq 1 ]; then
  # --ci has found it built and up to date already.
  if [ $ci -eq 1 ]; then prefix=$gui_prefix; else prefix=$(bash scripts/windows-deps.sh --gui | tail -1); fi
  out=build-win
else
  prefix=$(bash scripts/windows-deps.sh | tail -1)
  out=build-win-ci
fi
echo "Windows dependencies: $prefix"
step_done

# zelk-pack makes the demo data during the build, so it must run here.
step "Host zelk-pack ($host)"
cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELK_BUILD_UI=OFF -DZELK_BUILD_TESTS=OFF \
  -DZELK_BUILD_BENCH=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
nice cmake --build "$host" -j"$jobs" --target zelk-pack >/dev/null
step_done

ui=ON
[ $gui -eq 1 ] || ui=OFF
step "Cross-build ($out, window $ui)"
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELK_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" -DZELK_WINDEPS="$prefix" \
  -DZELK_HOST_PACK="$here/$host/bin/zelk-pack" -DZELK_BUILD_UI=$ui -DZELK_BUILD_BENCH=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
nice cmake --build "$out" -j"$jobs"
step_done

if ! command -v wine >/dev/null; then
  echo "windows.sh: no Wine on this machine: built, but nothing is run"
  exit 0
fi
# One Wine prefix for all runs, outside the checkout; made once (about a minute).
export WINEPREFIX=${WINEPREFIX:-${ZELK_WINDEPS_ROOT:-$cache/windows-deps}/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Debian's Wine has no preloader to reserve its fixed addresses before the
# kernel places the program's heap, which it puts anywhere in a gigabyte:
# about one start in a thousand then lands on Wine's shared page and dies
# ("failed to map the shared user data", CreateProcess error 1359). Without
# address randomisation the heap starts where the loader ends, every time.
# Every Wine program below runs so, and the children inherit it.
norandom=()
if setarch "$(uname -m)" --addr-no-randomize true 2>/dev/null; then
  norandom=(setarch "$(uname -m)" --addr-no-randomize)
else
  echo "windows.sh: address randomisation cannot be turned off here: a Wine program may fail to start, about once in a thousand"
fi
# The window's programs need an X display under Wine, even offscreen.
runner=("${norandom[@]}")
if [ $gui -eq 1 ] && [ -z "${DISPLAY:-}" ]; then runner+=(xvfb-run -a -s "-screen 0 1280x1024x24"); fi
step "Tests under Wine ($WINEPREFIX)"
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1 || true
# Wine's own background programs start with the first program: start them
# here, so that the first test does not pay for it.
wineserver -p 60 2>/dev/null || true
"${norandom[@]}" wine cmd /c exit </dev/null >/dev/null 2>&1 || true
set +e
# Every test has deadlines of its own inside; ctest's is the last resort.
"${runner[@]}" ctest --test-dir "$out" -j"$jobs" --output-on-failure --timeout 300
rc=$?
set -e
step_done
[ $rc -eq 0 ] || { wineserver -k 2>/dev/null || true; echo "windows.sh: tests failed under Wine" >&2; exit $rc; }

if [ $gui -eq 1 ]; then
  step "Packages (zip, installer) in $out"
  "${norandom[@]}" bash packaging/windows/package.sh "$out"
  step_done
  step "A pilot's first hour with the download, under Wine"
  # Its picture of the window is the README's (docs/screenshot-wine.png).
  "${runner[@]}" bash packaging/windows/pilot-check.sh "$out" "$out/screenshot-wine.png"
  step_done
fi
wineserver -k 2>/dev/null || true
echo "windows.sh: done in $(( $(date +%s) - t0 )) s"
