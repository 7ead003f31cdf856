#!/bin/bash
# zelk-cli list --json over 9,999 missions, whole process, against the plain C
# floor (bench/listread: list the folder, read every file), both on the same
# files and alternated in the same run. Reports the medians of wall time and
# of CPU time (user + system); on a busy machine the CPU time is the fairer
# measure. Usage: bench/cli_vs_c.sh [BUILD] [RUNS]
set -eu
build=${1:-build}
runs=${2:-15}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
ZELK_SCAN_BENCH_KEEP="$root" "$build/bench/scan_bench" --benchmark_filter=BM_PlainRead \
    --benchmark_min_time=0.01 >/dev/null 2>&1
folder="$root/Missions/Single/NN/ZELK"

# One run: "wall_ms cpu_ms" appended to the file $1; the output goes nowhere.
# bash's own timer counts milliseconds; /usr/bin/time counts hundredths,
# too coarse for a floor of about a hundred milliseconds of CPU.
TIMEFORMAT='%3R %3U %3S'
timed() {
    out=$1
    shift
    { time "$@" >/dev/null 2>&1; } 2>"$root/t"
    awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$root/t" >>"$out"
}

set -- "$build/bin/zelk-cli" --root "$root" --data "$root" list --json
floor="$build/bench/listread"
"$@" >/dev/null; "$floor" "$folder" >/dev/null  # warm the page cache
: >"$root/cli.txt"; : >"$root/floor.txt"
i=0
while [ $i -lt "$runs" ]; do
    timed "$root/floor.txt" "$floor" "$folder"
    timed "$root/cli.txt" "$@"
    i=$((i + 1))
done
median() { cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo "missions: $(ls "$folder" | grep -c '\.mis$'), runs: $runs"
for col in 1 2; do
    c=$(median "$root/cli.txt" $col); f=$(median "$root/floor.txt" $col)
    what=$([ $col = 1 ] && echo "wall" || echo "cpu ")
    awk -v w="$what" -v c="$c" -v f="$f" \
        'BEGIN { printf "%s  zelk-cli list --json %5d ms   listread %5d ms   ratio %.2f\n", w, c, f, c / f }'
done
