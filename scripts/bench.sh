#!/usr/bin/env bash
# Runs the whole benchmark: builds the tools, writes the inputs into a scratch folder, times
# kestrune-cli beside the copy limit and the stream editor peer, and writes the figures into
# docs/PERFORMANCE.md and the plot docs/performance.png.
# Usage: scripts/bench.sh [SCRATCH_DIR]   (default: a new folder under ${TMPDIR:-/tmp}; needs ~3 GB)
# KESTRUNE_BENCH_RUNS (default 5) runs per figure; the 1 GB figures take 3.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${KESTRUNE_BENCH_RUNS:-5}
large_runs=3
scratch=${1:-$(mktemp -d "${TMPDIR:-/tmp}/kestrune-bench.XXXXXX")}
mkdir -p "$scratch"
scratch=$(cd "$scratch" && pwd)

scripts/install-deps.sh build bench

build=$root/build-bench
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" >/dev/null
cli=$build/cli/kestrune-cli
measure=$build/bench/bench_measure
copy_loop=$build/bench/bench_copy_loop

# The peer: the same rewrite as a stream editor script, made as durable as the converter's
# output (flushed, then renamed over the input).
sed_script='s/\r$//; s/\*version 7\.1/*version 6.1/; /@setup/,/@index/{/@index/!d}'
awk_script='BEGIN { copy = 1 } { sub(/\r$/, ""); sub(/\*version 7\.1/, "*version 6.1") } /@setup/ { copy = 0 } /@index/ { copy = 1 } copy'
declare -A contender=(
  [kestrune]="$cli --ini ./bench.ini --embedded in.SCH >/dev/null 2>&1"
  [cp]="cp in.SCH out.SCH && sync out.SCH"
  [loop]="$copy_loop in.SCH out.SCH"
  [sed]="LC_ALL=C sed -e '$sed_script' in.SCH > out.SCH && sync out.SCH && mv out.SCH in.SCH"
  [awk]="LC_ALL=C mawk '$awk_script' in.SCH > out.SCH && sync out.SCH && mv out.SCH in.SCH"
)

echo "bench: writing inputs into $scratch"
inputs=$scratch/inputs
work=$scratch/work
mkdir -p "$inputs/tree" "$work"
"$build/bench/bench_inputs" libraries "$work"
"$build/bench/bench_inputs" tree "$inputs/tree"
declare -A size_bytes=([1MB]=1000000 [100MB]=100000000 [1GB]=1000000000)
for size in 1MB 100MB 1GB; do
  "$build/bench/bench_inputs" drawing "$inputs/drawing-$size.SCH" "${size_bytes[$size]}"
done
"$build/bench/bench_inputs" noparts "$inputs/noparts-100MB.SCH" 100000000
"$build/bench/bench_inputs" allparts "$inputs/allparts-100MB.SCH" 100000000

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# time_runs COUNT INPUT COMMAND: the median seconds and the largest peak KiB of COUNT runs,
# each on a fresh copy of INPUT flushed to disk first (the input is then in the page cache).
time_runs() {
  local count=$1 input=$2 command=$3 times="" peak=0 seconds kib cpu
  for ((run = 0; run < count; ++run)); do
    rm -f "$work"/in.* "$work"/out.SCH
    cp "$input" "$work/in.SCH"
    sync
    read -r seconds kib cpu < <(cd "$work" && "$measure" sh -c "$command")
    times+="$seconds"$'\n'
    if ((kib > peak)); then peak=$kib; fi
  done
  rm -f "$work"/in.* "$work"/out.SCH
  echo "$(printf '%s' "$times" | median) $peak"
}

declare -A seconds_of peak_of
record() {  # record KEY COUNT INPUT COMMAND
  local result
  result=$(time_runs "$2" "$3" "$4")
  seconds_of[$1]=${result% *}
  peak_of[$1]=${result#* }
  echo "bench: $1 ${seconds_of[$1]} s, ${peak_of[$1]} KiB"
}

for size in 1MB 100MB 1GB; do
  count=$runs
  [[ $size == 1GB ]] && count=$large_runs
  for name in kestrune cp loop sed awk; do
    record "$name/$size" "$count" "$inputs/drawing-$size.SCH" "${contender[$name]}"
  done
done
record kestrune/allparts "$runs" "$inputs/allparts-100MB.SCH" "${contender[kestrune]}"
record kestrune/noparts "$runs" "$inputs/noparts-100MB.SCH" "${contender[kestrune]}"

# The nested tree: 100 files, reached from T000.SCH through the parts of the libraries.
tree_times=""
tree_peak=0
for ((run = 0; run < runs; ++run)); do
  cp "$inputs"/tree/*.SCH "$work"/
  sync
  read -r seconds kib cpu < <(cd "$work" && "$measure" sh -c "$cli --ini ./bench.ini --embedded T000.SCH > tree.out 2>&1")
  [[ $(grep -c '^T0' "$work/tree.out") -eq 100 ]] || { echo "bench: the tree run did not visit 100 files" >&2; exit 1; }
  tree_times+="$seconds"$'\n'
  if ((kib > tree_peak)); then tree_peak=$kib; fi
  rm -f "$work"/T*.SCH "$work"/tree.out
done
tree_seconds=$(printf '%s' "$tree_times" | median)

version_times=""
for ((run = 0; run < 21; ++run)); do
  read -r seconds kib cpu < <("$measure" "$cli" --version 2>/dev/null | tail -1)
  version_times+="$seconds"$'\n'
done
version_seconds=$(printf '%s' "$version_times" | median)

load_micros=$(cd "$work" && "$build/bench/bench_engine" --benchmark_filter=LoadThousandParts \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '$1 ~ /_median"?$/ { print $3 }')
find_nanos=$(cd "$work" && "$build/bench/bench_engine" --benchmark_filter=FindAbsentPart \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '$1 ~ /_median"?$/ { print $3 }')

# ---- The report ----
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ms() { awk -v s="$1" 'BEGIN { printf "%.1f", s * 1000 }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

table=$(mktemp)
{
  echo "Figures of the run of $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of" \
    "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(awk '/MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo) RAM," \
    "Linux $(uname -r), $(findmnt -n -o FSTYPE --target "$scratch") on $(findmnt -n -o SOURCE --target "$scratch")." \
    "Medians of $runs runs ($large_runs for 1 GB); peak memory is the largest of all runs."
  echo
  echo "| Input | kestrune-cli | cp + sync | read/write loop | sed | mawk | kestrune / cp | kestrune / loop | sed / kestrune | mawk / kestrune | peak memory kestrune, cp, loop, sed, mawk (MiB) |"
  echo "|---|---|---|---|---|---|---|---|---|---|---|"
  for size in 1MB 100MB 1GB; do
    k=${seconds_of[kestrune/$size]}
    printf '| %s drawing | %s ms | %s ms | %s ms | %s ms | %s ms | %s | %s | %s | %s | %s, %s, %s, %s, %s |\n' "$size" \
      "$(ms "$k")" "$(ms "${seconds_of[cp/$size]}")" "$(ms "${seconds_of[loop/$size]}")" \
      "$(ms "${seconds_of[sed/$size]}")" "$(ms "${seconds_of[awk/$size]}")" \
      "$(ratio "$k" "${seconds_of[cp/$size]}")" "$(ratio "$k" "${seconds_of[loop/$size]}")" \
      "$(ratio "${seconds_of[sed/$size]}" "$k")" "$(ratio "${seconds_of[awk/$size]}" "$k")" \
      "$(mib "${peak_of[kestrune/$size]}")" "$(mib "${peak_of[cp/$size]}")" "$(mib "${peak_of[loop/$size]}")" \
      "$(mib "${peak_of[sed/$size]}")" "$(mib "${peak_of[awk/$size]}")"
  done
  echo
  echo "| Other figure | Value |"
  echo "|---|---|"
  echo "| 100 MB, every line a \"PART=\" line absent from the 1000 parts | $(ms "${seconds_of[kestrune/allparts]}") ms, peak $(mib "${peak_of[kestrune/allparts]}") MiB |"
  echo "| 100 MB without \"PART=\" lines | $(ms "${seconds_of[kestrune/noparts]}") ms, peak $(mib "${peak_of[kestrune/noparts]}") MiB |"
  echo "| \"PART=\"-heavy / without \"PART=\" | $(ratio "${seconds_of[kestrune/allparts]}" "${seconds_of[kestrune/noparts]}") |"
  echo "| Nested tree of 100 files (about 10 kB each) | $(ms "$tree_seconds") ms in all, $(awk -v s="$tree_seconds" 'BEGIN { printf "%.2f", s * 10 }') ms per file, peak $(mib "$tree_peak") MiB |"
  echo "| Loading 50 libraries of 1000 parts (bench_engine) | ${load_micros%.*} µs |"
  echo "| One lookup of an absent part in the full table (bench_engine) | ${find_nanos%.*} ns |"
  echo "| \`kestrune-cli --version\` start-up (median of 21) | $(ms "$version_seconds") ms |"
} >"$table"

report=docs/PERFORMANCE.md
[[ -f $report ]] || printf '# Performance\n\n<!-- figures:begin -->\n<!-- figures:end -->\n' >"$report"
awk -v table="$table" '
  /<!-- figures:begin -->/ { print; while ((getline line < table) > 0) print line; skip = 1; next }
  /<!-- figures:end -->/ { skip = 0 }
  !skip' "$report" >"$report.new"
mv "$report.new" "$report"

plot_data=$(mktemp)
for size in 1MB 100MB 1GB; do
  echo "$((size_bytes[$size] / 1000000)) ${seconds_of[kestrune/$size]} ${seconds_of[cp/$size]} ${seconds_of[loop/$size]} ${seconds_of[sed/$size]} ${seconds_of[awk/$size]}"
done >"$plot_data"
gnuplot <<EOF
set terminal pngcairo size 900,600 noenhanced
set output "docs/performance.png"
set title "Converting a PSpice 7.1 schematic: time against file size (median of runs)"
set xlabel "file size (MB)"
set ylabel "seconds"
set logscale xy
set grid
set key top left
plot "$plot_data" using 1:2 with linespoints lw 2 title "kestrune-cli", \
     "$plot_data" using 1:3 with linespoints lw 2 title "limit: cp + sync", \
     "$plot_data" using 1:4 with linespoints title "limit: read/write loop + fsync", \
     "$plot_data" using 1:5 with linespoints lw 2 title "peer: sed script", \
     "$plot_data" using 1:6 with linespoints title "peer: mawk script"
EOF
rm -f "$table" "$plot_data"
echo "bench: figures written to $report and docs/performance.png (inputs kept in $scratch)"
