#!/usr/bin/env bash
# Cross-builds ZELK for Windows with MinGW-w64, runs the tests under Wine and
# makes the pilot's download (zip and installer) in build-win/.
#
#   bash scripts/windows.sh          # everything: the window too (Qt Gui, about an hour the first time)
#   bash scripts/windows.sh --ci     # Qt Core only: core, zelk-cli, zelk-pack, the monitor and their tests
#
# The static libraries are built once by scripts/windows-deps.sh into
# ZELK_WINDEPS_ROOT (default /var/cache/zelk/windows-deps), outside the checkout.
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
export CCACHE_DIR=${CCACHE_DIR:-/var/cache/zelk/ccache} CCACHE_BASEDIR=$here
t0=$(date +%s)
step_start=0
step() { step_start=$(date +%s); echo "== $*"; }
step_done() { echo "   took $(( $(date +%s) - step_start )) s"; }

bash scripts/install-deps.sh
host=build-win-host
if [ $ci -eq 1 ]; then
  # Not "tee /dev/stderr": where stderr is a file, that opens it anew and
  # truncates everything written to it before.
  deps=$(bash scripts/windows-deps.sh)
  echo "$deps" >&2
  out=build-win-ci
else
  deps=$(bash scripts/windows-deps.sh --gui)
  echo "$deps" >&2
  out=build-win
fi
prefix=$(tail -1 <<<"$deps")
echo "Windows dependencies: $prefix"

# zelk-pack makes the demo data during the build, so it must run here.
step "Host zelk-pack ($host)"
cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELK_BUILD_UI=OFF -DZELK_BUILD_TESTS=OFF \
  -DZELK_BUILD_BENCH=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
nice cmake --build "$host" -j"$jobs" --target zelk-pack >/dev/null
step_done

ui=ON
[ $ci -eq 1 ] && ui=OFF
step "Cross-build ($out, window $ui)"
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" -DZELK_WINDEPS="$prefix" \
  -DZELK_HOST_PACK="$here/$host/bin/zelk-pack" -DZELK_BUILD_UI=$ui -DZELK_BUILD_BENCH=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
nice cmake --build "$out" -j"$jobs"
step_done

# One Wine prefix for all runs, outside the checkout; made once (about a minute).
export WINEPREFIX=${WINEPREFIX:-${ZELK_WINDEPS_ROOT:-/var/cache/zelk/windows-deps}/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
step "Tests under Wine ($WINEPREFIX)"
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1 || true
# Wine's own background programs start with the first program and would hold
# on to the output pipe of whatever started them: start them here, silently.
wineserver -p 60 2>/dev/null || true
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
set +e
[ $ci -eq 0 ] && [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null && runner=(xvfb-run -a) || runner=()
# A test that misses a deadline under Wine on a loaded machine gets one more
# run; one that fails twice fails the run.
"${runner[@]}" ctest --test-dir "$out" -j"$jobs" --output-on-failure --timeout 300 --repeat until-pass:2
rc=$?
set -e
wineserver -k 2>/dev/null || true
step_done
[ $rc -eq 0 ] || { echo "windows.sh: tests failed under Wine" >&2; exit $rc; }

if [ $ci -eq 0 ]; then
  step "Packages (zip, installer) in $out"
  bash packaging/windows/package.sh "$out"
  step_done
fi
echo "windows.sh: done in $(( $(date +%s) - t0 )) s"
