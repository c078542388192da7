#!/usr/bin/env bash
# What a user meets the first time, each run in a fresh process: the start-up
# read into fresh memory, the first click on an x quantity (at once after the
# start-up, while the orders made ahead are still being made, and after they
# are ready), a second x quantity, and the reader alone into fresh and then the
# same arrays; the peak memory once per size. Prints the medians.
#
# Usage: bench/first-time.sh [BUILD_DIR] [RUNS] [SIZES...]
#        (default build/default, 5, 10000 100000 1000000 10000000)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-5}
shift 2 2>/dev/null || shift $#
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000 1000000 10000000)
bench=$build/bin/vorsel_plot_bench
[ -x "$bench" ] || { echo "missing $bench: build the project first"; exit 1; }

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
column() { local k=$1; shift; printf '%s\n' "$@" | awk -v k="$k" '{print $k}'; }

printf '%-9s %9s %12s %12s %10s %10s %10s %7s  %s\n' reflections start-up "x at once" "x when ready" "2nd x" "read new" "read again" ratio "peak memory"
for n in "${sizes[@]}"; do
  "$bench" --cold-read "$n" >/dev/null 2>&1 || true   # makes the data file once
  at_once=() ready=() reads=()
  for ((i = 0; i < runs; i++)); do
    at_once+=("$("$bench" --cold-session "$n" 2>/dev/null)")
    ready+=("$("$bench" --cold-session-after-wait "$n" 2>/dev/null)")
    reads+=("$("$bench" --cold-read "$n" 2>/dev/null)")
  done
  mapfile -t s1 < <(column 1 "${at_once[@]}"); mapfile -t x1 < <(column 2 "${at_once[@]}")
  mapfile -t x2 < <(column 2 "${ready[@]}"); mapfile -t p2 < <(column 3 "${at_once[@]}")
  mapfile -t r1 < <(column 1 "${reads[@]}"); mapfile -t r2 < <(column 2 "${reads[@]}")
  fresh=$(median "${r1[@]}"); again=$(median "${r2[@]}")
  peak=$("$bench" --peak-memory "$n" 2>/dev/null | awk -F'= ' '/peak above/ {print $2}')
  printf '%-9s %8sms %10sms %10sms %8sms %8sms %8sms %7s  %s\n' "$n" "$(median "${s1[@]}")" \
    "$(median "${x1[@]}")" "$(median "${x2[@]}")" "$(median "${p2[@]}")" "$fresh" "$again" \
    "$(awk -v a="$fresh" -v b="$again" 'BEGIN {printf "%.2f", a / b}')" "$peak"
done
