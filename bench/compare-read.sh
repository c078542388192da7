#!/usr/bin/env bash
# Side-by-side timing of reading a 10^6-reflection data file (132 MB):
#   the classic formatted read (gfortran, (I6) and (15F10.0) into 4-byte reals),
#   READ_VORSEL_DATA (through vorsel_read_checksum: the whole process, and the
#   call alone as the program reports it), and wc -l as the floor.
# Each is run RUNS times, interleaved; the medians of the wall-clock times and
# the ratios are printed, and the two readers' checksums of the float bits
# must agree.
#
# Usage: bench/compare-read.sh [BUILD_DIR] [RUNS]   (default build/default, 7)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-7}
bin=$build/bin
data=$build/bench/data/reflections-1e6.vorsel

for t in vorsel_generate vorsel_read_checksum; do
  [ -x "$bin/$t" ] || { echo "missing $bin/$t: build the project first (cmake --build $build)"; exit 1; }
done
if [ ! -f "$data" ]; then
  mkdir -p "$(dirname "$data")"
  echo "generating $data"
  "$bin/vorsel_generate" -n 1000000 --seed 1 -o "$data"
fi
have_fortran=0
[ -x "$bin/vorsel_formatted_read" ] && have_fortran=1

now() { date +%s%N; }
# run NAME COMMAND...: appends the wall time in ms to the array NAME
declare -a t_fortran=() t_ours=() t_wc=() t_call=()
calls=$(mktemp)
trap 'rm -f "$calls"' EXIT
time_it() {
  local -n out=$1; shift
  local t0 t1
  t0=$(now); "$@" >/dev/null; t1=$(now)
  out+=($(( (t1 - t0) / 1000000 )))
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

cat "$data" >/dev/null # warm the page cache
for ((i = 0; i < runs; i++)); do
  [ $have_fortran = 1 ] && time_it t_fortran "$bin/vorsel_formatted_read" "$data"
  time_it t_ours "$bin/vorsel_read_checksum" "$data" 2>>"$calls"
  time_it t_wc wc -l "$data"
done

ours=$(median "${t_ours[@]}")
mapfile -t t_call < <(awk '/^call_ms/ {print $2}' "$calls")
call=$(median "${t_call[@]}")
wcl=$(median "${t_wc[@]}")
echo "file: $data ($(stat -c %s "$data") bytes), $runs runs each, wall-clock medians"
if [ $have_fortran = 1 ]; then
  fortran=$(median "${t_fortran[@]}")
  printf '  formatted read (gfortran)   %7s ms\n' "$fortran"
fi
printf '  READ_VORSEL_DATA (process)  %7s ms   (the call alone: %s ms)\n' "$ours" "$call"
printf '  wc -l                       %7s ms\n' "$wcl"
if [ $have_fortran = 1 ]; then
  awk -v f="$fortran" -v o="$ours" 'BEGIN { printf "  formatted read / ours       %7.1fx\n", f / o }'
fi
awk -v o="$ours" -v w="$wcl" 'BEGIN { if (w < 1) w = 1; printf "  ours / wc -l                %7.1fx\n", o / w }'
if [ $have_fortran = 1 ]; then
  awk -v f="$fortran" -v c="$call" 'BEGIN { printf "  formatted read / the call   %7.1fx\n", f / c }'
fi
awk -v c="$call" -v w="$wcl" 'BEGIN { if (w < 1) w = 1; printf "  the call / wc -l            %7.1fx\n", c / w }'

sum_ours=$("$bin/vorsel_read_checksum" "$data" 2>/dev/null)
echo "  checksum ours:     $sum_ours"
if [ $have_fortran = 1 ]; then
  sum_fortran=$("$bin/vorsel_formatted_read" "$data")
  echo "  checksum gfortran: $sum_fortran"
  if [ "$sum_ours" != "$sum_fortran" ]; then
    echo "MISMATCH: the two readers give different floats"
    exit 1
  fi
  echo "  identical floats"
fi
