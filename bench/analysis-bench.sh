#!/usr/bin/env bash
# Fresh-process timing of `vorselplot --stats` (JSON and CSV) and `--report`
# at 10^6 reflections (the file is generated on first use into the build
# tree), each run RUNS times with the page cache warm; prints the medians of
# the wall-clock and the processor time (user + system).
# The figures repeated within one process: build/default/bin/vorsel_analysis_bench.
#
# Usage: bench/analysis-bench.sh [BUILD_DIR] [RUNS]   (default build/default, 5)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-5}
bin=$build/bin
for t in vorselplot vorsel_analysis_bench; do
  [ -x "$bin/$t" ] || { echo "missing $bin/$t: build the project first (cmake --build $build)"; exit 1; }
done
data=$("$bin/vorsel_analysis_bench" --data-file)
out=$(dirname "$data")/analysis
mkdir -p "$out"
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
cat "$data" >/dev/null # warm the page cache
echo "file: $data, $runs runs each, fresh process, medians: wall-clock / processor time"
for what in stats.json stats.csv report.pdf; do
  declare -a wall=() proc=()
  opt=--stats; [ "$what" = report.pdf ] && opt=--report
  for ((i = 0; i < runs; i++)); do
    TIMEFORMAT='%R %U %S'
    t=$( { time env -u DISPLAY -u QT_QPA_PLATFORM "$bin/vorselplot" $opt "$out/$what" "$data" >/dev/null 2>&1; } 2>&1 )
    read -r e u s <<<"$t"
    wall+=("$(awk -v e="$e" 'BEGIN { printf "%d", e * 1000 }')")
    proc+=("$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%d", (u + s) * 1000 }')")
  done
  printf '  vorselplot %-8s %-11s %6s / %6s ms  %10s bytes\n' "$opt" "$what" "$(median "${wall[@]}")" "$(median "${proc[@]}")" "$(stat -c %s "$out/$what")"
done
echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg)"
