#!/usr/bin/env bash
# Fresh-process timing and peak memory of vorsel_import --observations: 10^6
# observations (XDS_ASCII.HKL, 10 per reflection on average) joined to a
# refinement file of 10^5 reflections, both generated on first use into the
# build tree. Prints the median wall-clock time of RUNS runs (page cache warm)
# and the largest peak resident memory against the two input files' sizes.
#
# Usage: bench/observations-bench.sh [BUILD_DIR] [RUNS]   (default build/default, 5)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-5}
bin=$build/bin
for t in vorsel_import vorsel_generate_observations; do
  [ -x "$bin/$t" ] || { echo "missing $bin/$t: build it first (cmake --build $build --target $t)"; exit 1; }
done
data=$build/bench/data
hkl=$data/observations-1e6.HKL
fcf=$data/observations-1e5.fcf
out=$data/observations-1e6.vorsel
if [ ! -f "$hkl" ] || [ ! -f "$fcf" ]; then
  mkdir -p "$data"
  "$bin/vorsel_generate_observations" --reflections 100000 --redundancy 10 "$hkl.part" "$fcf.part"
  mv "$fcf.part" "$fcf" && mv "$hkl.part" "$hkl"
fi

cat "$hkl" "$fcf" >/dev/null # warm the page cache
# Wall-clock time, and CPU time (user + system): on a machine that others share
# the CPU time is what the run takes on an idle one.
declare -a times=() cpus=()
peak=0
for ((i = 0; i < runs; i++)); do
  t0=$(date +%s%N)
  read -r kb user sys < <( { /usr/bin/time -f '%M %U %S' "$bin/vorsel_import" --observations "$hkl" "$fcf" "$out" 2>&1 >/dev/null; } | tail -1)
  t1=$(date +%s%N)
  times+=($(( (t1 - t0) / 1000000 )))
  cpus+=($(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }'))
  (( kb > peak )) && peak=$kb
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
median=$(median "${times[@]}")
cpu=$(median "${cpus[@]}")
inputs=$(( $(stat -c %s "$hkl") + $(stat -c %s "$fcf") ))
echo "inputs: $hkl ($(stat -c %s "$hkl") bytes), $fcf ($(stat -c %s "$fcf") bytes)"
echo "$runs runs, fresh process each: median $median ms wall-clock, $cpu ms CPU (user + system); peak resident memory $((peak / 1024)) MiB"
awk -v p="$peak" -v i="$inputs" 'BEGIN { printf "peak memory / input files: %.2f\n", p * 1024 / i }'
