#!/usr/bin/env bash
# Fresh-process timing of vorsel_import on a 10^6-reflection reflection file
# (generated on first use into the build tree): the whole conversion against
# gemmi's read of the same file alone, each run RUNS times, interleaved, with
# the page cache warm. Prints the medians of the wall-clock times.
#
# Usage: bench/import-bench.sh [BUILD_DIR] [RUNS]   (default build/default, 7)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-7}
bin=$build/bin

for t in vorsel_import vorsel_import_bench; do
  [ -x "$bin/$t" ] || { echo "missing $bin/$t: build the project first (cmake --build $build)"; exit 1; }
done
data=$("$bin/vorsel_import_bench" --big-file)
out=$(dirname "$data")/reflections-1e6-from-fcf.vorsel

now() { date +%s%N; }
declare -a t_import=() t_gemmi=()
time_it() {
  local -n times=$1; shift
  local t0 t1
  t0=$(now); "$@" >/dev/null; t1=$(now)
  times+=($(( (t1 - t0) / 1000000 )))
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

cat "$data" >/dev/null # warm the page cache
for ((i = 0; i < runs; i++)); do
  time_it t_import "$bin/vorsel_import" "$data" "$out"
  time_it t_gemmi "$bin/vorsel_import_bench" --gemmi-read "$data"
done
import=$(median "${t_import[@]}")
gemmi=$(median "${t_gemmi[@]}")
echo "file: $data ($(stat -c %s "$data") bytes), $runs runs each, fresh process, wall-clock medians"
printf '  vorsel_import (whole conversion)  %6s ms\n' "$import"
printf '  gemmi read alone                  %6s ms\n' "$gemmi"
awk -v i="$import" -v g="$gemmi" 'BEGIN { printf "  conversion / read                 %6.2fx\n", i / g }'
