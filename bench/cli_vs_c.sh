#!/bin/sh
# zelk-cli list --json over 9,999 missions, whole process, against the plain C
# floor (bench/listread: list the folder, read every file), both on the same
# files and alternated in the same run. Usage: bench/cli_vs_c.sh [BUILD] [RUNS]
set -eu
build=${1:-build}
runs=${2:-15}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
ZELK_SCAN_BENCH_KEEP="$root" "$build/bench/scan_bench" --benchmark_filter=BM_PlainRead \
    --benchmark_min_time=0.01 >/dev/null 2>&1
folder="$root/Missions/Single/NN/ZELK"

now() { date +%s%N; }
# One timed run in milliseconds; the output goes nowhere, as a pipe would take it.
timed() {
    t0=$(now)
    "$@" >/dev/null
    echo $(( ($(now) - t0) / 1000 ))
}

cli="$build/bin/zelk-cli --root $root --data $root list --json"
floor="$build/bench/listread $folder"
$cli >/dev/null; $floor >/dev/null  # warm the page cache
: >"$root/cli.txt"; : >"$root/floor.txt"
i=0
while [ $i -lt "$runs" ]; do
    timed $floor >>"$root/floor.txt"
    timed $cli >>"$root/cli.txt"
    i=$((i + 1))
done
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
c=$(median "$root/cli.txt"); f=$(median "$root/floor.txt")
echo "missions: $(ls "$folder" | grep -c '\.mis$')"
echo "zelk-cli list --json: median ${c} us"
echo "listread (C floor):   median ${f} us"
awk -v c="$c" -v f="$f" 'BEGIN { printf "ratio: %.2f\n", c / f }'
