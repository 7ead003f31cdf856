#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit
# and window tests, then the fuzz targets for a short bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# The sources keep the style of .clang-format (scripts/format.sh applies it).
bash scripts/format.sh --check

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"

# Fuzz targets need clang's libFuzzer with AddressSanitizer and UBSan.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_WERROR=ON -DZELK_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$jobs"
ctest --test-dir build-fuzz --output-on-failure

# The event-log monitor under ThreadSanitizer.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELK_WERROR=ON -DZELK_TSAN=ON -DZELK_BUILD_UI=OFF -DZELK_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target monitor_logmonitor_test monitor_orvaksim_test
ctest --test-dir build-tsan --output-on-failure -R '^(LogMonitorTest|OrvaksimTest)\.'
