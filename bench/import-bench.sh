#!/usr/bin/env bash
# Fresh-process timing and peak memory of vorsel_import on a reflection file of
# N reflections (10^6 by default, about 54 MB; 10^7 about 570 MB), generated on
# first use into the build tree: the whole conversion against gemmi's read of
# the same file into its document alone, each run RUNS times, interleaved,
# with the page cache warm. Prints the medians of the wall-clock times and of
# the peak resident memory (/usr/bin/time), and both against the file's size.
#
# Usage: bench/import-bench.sh [BUILD_DIR] [RUNS] [N]   (default build/default, 7, 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-7}
n=${3:-1000000}
bin=$build/bin

for t in vorsel_import vorsel_import_bench; do
  [ -x "$bin/$t" ] || { echo "missing $bin/$t: build the project first (cmake --build $build)"; exit 1; }
done
if [ "$n" = 1000000 ]; then
  data=$("$bin/vorsel_import_bench" --big-file)
else
  data=$(dirname "$("$bin/vorsel_import_bench" --big-file)")/reflections-$n.fcf
  if [ ! -f "$data" ]; then
    "$bin/vorsel_import_bench" --generate "$n" "$data.part"
    mv "$data.part" "$data"
  fi
fi
out=${data%.fcf}-from-fcf.vorsel

declare -a t_import=() t_gemmi=() m_import=() m_gemmi=() c_import=() c_gemmi=()
# Wall-clock and CPU (user and system) milliseconds and peak resident KiB of
# one fresh process. On a machine shared with other work the CPU time is the
# steadier of the two.
time_it() {
  local -n times=$1 peaks=$2 cpus=$3; shift 3
  local report
  report=$(mktemp)
  /usr/bin/time -f '%e %M %U %S' -o "$report" "$@" >/dev/null
  read -r seconds kib user system <"$report"
  rm -f "$report"
  times+=($(awk -v s="$seconds" 'BEGIN { printf "%d", s * 1000 }'))
  cpus+=($(awk -v u="$user" -v s="$system" 'BEGIN { printf "%d", (u + s) * 1000 }'))
  peaks+=("$kib")
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

cat "$data" >/dev/null # warm the page cache
for ((i = 0; i < runs; i++)); do
  time_it t_import m_import c_import "$bin/vorsel_import" "$data" "$out"
  time_it t_gemmi m_gemmi c_gemmi "$bin/vorsel_import_bench" --gemmi-read "$data"
done
import=$(median "${t_import[@]}")
gemmi=$(median "${t_gemmi[@]}")
mi=$(median "${m_import[@]}")
mg=$(median "${m_gemmi[@]}")
size=$(stat -c %s "$data")
echo "file: $data ($size bytes), $runs runs each, fresh process, medians"
printf '  vorsel_import (whole conversion)  %7s ms (CPU %7s ms)  peak %6d MiB  %5.2fx the file\n' \
  "$import" "$(median "${c_import[@]}")" $((mi / 1024)) "$(awk -v m="$mi" -v s="$size" 'BEGIN { print m * 1024 / s }')"
printf '  gemmi read alone                  %7s ms (CPU %7s ms)  peak %6d MiB  %5.2fx the file\n' \
  "$gemmi" "$(median "${c_gemmi[@]}")" $((mg / 1024)) "$(awk -v m="$mg" -v s="$size" 'BEGIN { print m * 1024 / s }')"
awk -v i="$import" -v g="$gemmi" 'BEGIN { printf "  conversion / read                 %7.2fx\n", i / g }'
