#!/usr/bin/env bash
# Fresh-process timing of the curve out of the window at 10^6 reflections
# (the file is generated on first use into the build tree), each run RUNS
# times with the page cache warm; prints the medians of the wall-clock time
# and of the processor time (user + system; on a busy machine the wall clock
# also counts the waits for a core) and the file sizes:
#   - the first "Save Picture" (PNG, SVG, PDF) and "Export Curve Data" (CSV)
#     after the file is read, dF / s(Fo) against theta, smoothed, fit to frame;
#   - vorselplot --output x.png and --report r.pdf, end to end.
# The same saves repeated within one process: build/default/bin/vorsel_export_bench.
#
# Usage: bench/export-bench.sh [BUILD_DIR] [RUNS]   (default build/default, 5)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-5}
bin=$build/bin

for t in vorselplot vorsel_export_bench; do
  [ -x "$bin/$t" ] || { echo "missing $bin/$t: build the project first (cmake --build $build)"; exit 1; }
done
data=$("$bin/vorsel_export_bench" --data-file)
out=$(dirname "$data")/export
mkdir -p "$out"

now() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
size() { stat -c %s "$1"; }

cat "$data" >/dev/null # warm the page cache
echo "file: $data ($(size "$data") bytes), $runs runs each, fresh process, medians: wall-clock / processor time"
for ext in png svg pdf csv; do
  declare -a ms=() cpu=()
  for ((i = 0; i < runs; i++)); do
    read -r t c bytes < <(QT_QPA_PLATFORM=offscreen "$bin/vorsel_export_bench" --first "$ext" 2>/dev/null)
    ms+=("$t"); cpu+=("$c")
  done
  printf '  first save, %s          %8s / %8s ms  %10s bytes\n' "$ext" "$(median "${ms[@]}")" "$(median "${cpu[@]}")" "$bytes"
done

run_cli() {
  local -n wall=$1 proc=$2; shift 2
  local t e u s TIMEFORMAT='%R %U %S'
  t=$( { time env -u DISPLAY -u QT_QPA_PLATFORM "$bin/vorselplot" "$@" >/dev/null 2>&1; } 2>&1 )
  read -r e u s <<<"$t"
  wall+=("$(awk -v e="$e" 'BEGIN { printf "%d", e * 1000 }')")
  proc+=("$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%d", (u + s) * 1000 }')")
}
declare -a w_png=() c_png=() w_report=() c_report=()
for ((i = 0; i < runs; i++)); do
  run_cli w_png c_png --x theta --y 'dF/s(Fo)' --smoothed --output "$out/cli.png" "$data"
  run_cli w_report c_report --report "$out/report.pdf" "$data"
done
printf '  vorselplot --output png     %8s / %8s ms  %10s bytes\n' "$(median "${w_png[@]}")" "$(median "${c_png[@]}")" "$(size "$out/cli.png")"
printf '  vorselplot --report         %8s / %8s ms  %10s bytes\n' "$(median "${w_report[@]}")" "$(median "${c_report[@]}")" "$(size "$out/report.pdf")"
echo "  load average: $(cut -d' ' -f1-3 /proc/loadavg)"
