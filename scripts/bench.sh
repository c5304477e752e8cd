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
# The folder: 2,000 small schematics, as a project's drawings lie side by side.
folder_files=2000
mkdir -p "$inputs/folder"
"$build/bench/bench_inputs" drawing "$inputs/folder/F0000.SCH" 12000
for ((file = 1; file < folder_files; ++file)); do
  cp "$inputs/folder/F0000.SCH" "$(printf '%s/folder/F%04d.SCH' "$inputs" "$file")"
done
"$build/bench/bench_inputs" allparts "$inputs/allparts-100MB.SCH" 100000000
# A project folder as a user has it: every tenth file a hierarchical block that the next files'
# parts lead to through the blocks' library beside them; the design tools' INI file in a folder
# of its own names the symbol libraries of another folder (the real ones of the corpus, else
# generated ones of the same sizes) and the blocks' library.
for files in 2000 20000; do
  mkdir -p "$inputs/project-$files"
  "$build/bench/bench_inputs" project "$inputs/project-$files" "$files"
done
corpus=${KESTRUNE_CORPUS_DIR:-$root/../shared/corpus}
mkdir -p "$work/msim/lib"
if compgen -G "$corpus/slb/*.[sS][lL][bB]" >/dev/null; then
  libraries_from="the corpus"
  for library in "$corpus"/slb/*.[sS][lL][bB]; do cp "$library" "$work/msim/lib/${library##*__}"; done
else
  # The corpus's libraries by name and size, shaped like them but generated.
  libraries_from="generated libraries of the corpus's sizes (no corpus found)"
  for entry in ABM.SLB:37378 EVAL.SLB:278861 MARKER.SLB:6295 OPA350.slb:3126 SPECIAL.SLB:35528 \
    TS_Analog.slb:21080 TS_Bipolar.slb:13370 TS_Modelle.slb:19804 TS_Modelle2.slb:17827 \
    knihovna.slb:959 second_order_filter.slb:1090; do
    "$build/bench/bench_inputs" symbols "$work/msim/lib/${entry%:*}" "${entry#*:}"
  done
fi
library_count=$(find "$work/msim/lib" -type f | wc -l)
library_kb=$(cat "$work"/msim/lib/* | wc -c | awk '{ printf "%.0f", $1 / 1000 }')
{
  printf '[MICROSIM]\r\nLIBPATH=%s\r\n[PART LIBS]\r\n' "$work/msim/lib"
  n=0
  for library in "$work"/msim/lib/*; do
    name=${library##*/}
    printf 'LIB%d=%s [.slb]\r\n' $((n += 1)) "${name%.*}"
  done
  printf 'LIB%d=%s\\BLOCKS [.slb]\r\n' $((n + 1)) "$work/project"
} >"$work/msim/MSIM.INI"
mkdir -p "$work/project"
cp "$inputs/project-2000/BLOCKS.slb" "$work/project"/

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# time_runs COUNT INPUT COMMAND: the median seconds and the largest peak KiB of COUNT runs,
# each on a fresh copy of INPUT flushed to disk first (the input is then in the page cache).
time_runs() {
  local count=$1 input=$2 command=$3 times="" peak=0 seconds kib
  for ((run = 0; run < count; ++run)); do
    rm -f "$work"/in.* "$work"/out.SCH
    cp "$input" "$work/in.SCH"
    sync
    read -r seconds kib _ < <(cd "$work" && "$measure" sh -c "$command")
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

# The folder case, each contender on a fresh copy of the folder, flushed first; every file is
# rewritten in place and made durable (the stream editors by one sync at the end).
declare -A folder_contender=(
  [kestrune]="$cli --ini ./none.ini *.SCH >/dev/null 2>&1"
  [sed]="LC_ALL=C sed -i -e '$sed_script' *.SCH && sync"
  [awk]="for f in *.SCH; do LC_ALL=C mawk '$awk_script' \"\$f\" > \"\$f.new\" && mv \"\$f.new\" \"\$f\" || exit 1; done && sync"
)
fresh_folder() {
  rm -rf "$work/folder"
  cp -r "$inputs/folder" "$work/folder"
  sync
}
for name in kestrune sed awk; do
  times=""
  peak=0
  for ((run = 0; run < runs; ++run)); do
    fresh_folder
    read -r seconds kib _ < <(cd "$work/folder" && "$measure" sh -c "${folder_contender[$name]}")
    times+="$seconds"$'\n'
    if ((kib > peak)); then peak=$kib; fi
  done
  seconds_of[$name/folder]=$(printf '%s' "$times" | median)
  peak_of[$name/folder]=$peak
  echo "bench: $name/folder ${seconds_of[$name/folder]} s, $peak KiB"
done

# Kills at random moments of the folder run: each file must be whole, its old or its new
# contents, and a second run must finish the rest and leave no temporary file.
fresh_folder
(cd "$work/folder" && "$cli" --ini ./none.ini F0000.SCH >/dev/null)
new_sum=$(md5sum <"$work/folder/F0000.SCH" | cut -d' ' -f1)
old_sum=$(md5sum <"$inputs/folder/F0000.SCH" | cut -d' ' -f1)
kill_trials=20
kill_old=0
kill_new=0
for ((trial = 0; trial < kill_trials; ++trial)); do
  fresh_folder
  (cd "$work/folder" && exec "$cli" --ini ./none.ini -- *.SCH >/dev/null 2>&1) &
  sleep "0.$(printf '%03d' $((RANDOM % 1000)))"
  kill -KILL $! 2>/dev/null || true
  { wait $!; } 2>/dev/null || true
  sums=$(cd "$work/folder" && md5sum -- *.SCH | cut -d' ' -f1)
  old=$(grep -c "^$old_sum\$" <<<"$sums" || true)
  new=$(grep -c "^$new_sum\$" <<<"$sums" || true)
  if ((old + new != folder_files)); then
    echo "bench: after kill $trial, $((folder_files - old - new)) files are neither old nor new" >&2
    exit 1
  fi
  kill_old=$((kill_old + old))
  kill_new=$((kill_new + new))
  (cd "$work/folder" && "$cli" --ini ./none.ini -- *.SCH >/dev/null)
  sums=$(cd "$work/folder" && md5sum -- *.SCH | cut -d' ' -f1)
  if [[ $(grep -c "^$new_sum\$" <<<"$sums") -ne $folder_files ]] ||
    compgen -G "$work/folder/*.TMP" >/dev/null; then
    echo "bench: the run after kill $trial did not finish the folder cleanly" >&2
    exit 1
  fi
done
rm -rf "$work/folder"
echo "bench: $kill_trials kills, every file whole ($kill_old old, $kill_new new in all)"

# The project folder, each contender on a fresh copy of its schematics flushed first. The
# folder itself and the blocks' library stay, so that they and the folder's parent keep the
# settled state they have for a user (a library written less than a timestamp tick ago is
# read again by each file's run).
refresh_project() {
  find "$work/project" -mindepth 1 ! -name BLOCKS.slb -delete
  find "$inputs/project-$1" -name '*.SCH' -exec cp -t "$work/project" {} +
  rm -rf "$scratch/copies"
  mkdir -p "$scratch/copies"
  sync
}
declare -A project_contender=(
  [embedded]="cd project && $cli --ini $work/msim/MSIM.INI --embedded --backup . >/dev/null 2>&1"
  [plain]="cd project && $cli --ini $work/msim/MSIM.INI --backup . >/dev/null 2>&1"
  [noini]="$cli --ini ./MSIM.INI project >/dev/null 2>&1"
  [sedp71]="cd project && LC_ALL=C sed -i.P71 -e '$sed_script' *.SCH && sync"
  [sedi]="LC_ALL=C sed -i -e '$sed_script' project/*.SCH && sync"
  [cp]="cp -r project $scratch/copies/ && sync"
)
project_runs() {  # project_runs FILES COUNT NAME...
  local files=$1 count=$2 name times peak seconds kib
  shift 2
  for name in "$@"; do
    times=""
    peak=0
    for ((run = 0; run < count; ++run)); do
      refresh_project "$files"
      read -r seconds kib _ < <(cd "$work" && "$measure" sh -c "${project_contender[$name]}")
      times+="$seconds"$'\n'
      if ((kib > peak)); then peak=$kib; fi
    done
    seconds_of[$name/$files]=$(printf '%s' "$times" | median)
    peak_of[$name/$files]=$peak
    echo "bench: project $name/$files ${seconds_of[$name/$files]} s, $peak KiB"
  done
}
project_runs 2000 "$runs" embedded plain noini sedp71 sedi cp
project_runs 20000 3 embedded noini sedp71 sedi cp

# Kills at random moments of the project run, nested conversion and backups on: each file must
# be whole, its old or new contents, each backup the old, and a second run must finish the
# rest and leave no temporary file.
refresh_project 2000
(cd "$work/project" && "$cli" --ini "$work/msim/MSIM.INI" --embedded --backup . >/dev/null)
(cd "$inputs/project-2000" && md5sum -- *.SCH) >"$scratch/project-old.sums"
(cd "$work/project" && md5sum -- *.SCH) >"$scratch/project-new.sums"
# project_state: how many files are old, new and neither; a backup counts as neither unless it
# holds its file's old contents.
project_state() {
  (cd "$work/project" && find . -maxdepth 1 \( -name '*.SCH' -o -name '*.P71' \) -printf '%f\n' |
    xargs md5sum --) | awk -v old_sums="$scratch/project-old.sums" -v new_sums="$scratch/project-new.sums" '
    BEGIN {
      while ((getline line < old_sums) > 0) { split(line, f, "  "); old[f[2]] = f[1] }
      while ((getline line < new_sums) > 0) { split(line, f, "  "); new[f[2]] = f[1] }
    }
    $2 ~ /\.P71$/ { name = $2; sub(/\.P71$/, ".SCH", name); if ($1 != old[name]) neither++; next }
    $1 == old[$2] { olds++; next }
    $1 == new[$2] { news++; next }
    { neither++ }
    END { print olds + 0, news + 0, neither + 0 }'
}
project_kill_trials=10
project_kill_old=0
project_kill_new=0
kill_window=${seconds_of[embedded/2000]}
for ((trial = 0; trial < project_kill_trials; ++trial)); do
  refresh_project 2000
  (cd "$work/project" && exec "$cli" --ini "$work/msim/MSIM.INI" --embedded --backup . >/dev/null 2>&1) &
  sleep "$(awk -v w="$kill_window" -v r=$RANDOM 'BEGIN { printf "%.3f", w * r / 32768 }')"
  kill -KILL $! 2>/dev/null || true
  { wait $!; } 2>/dev/null || true
  read -r old new neither < <(project_state)
  if ((neither != 0 || old + new != 2000)); then
    echo "bench: after project kill $trial, $neither files or backups are neither old nor new" >&2
    exit 1
  fi
  project_kill_old=$((project_kill_old + old))
  project_kill_new=$((project_kill_new + new))
  (cd "$work/project" && "$cli" --ini "$work/msim/MSIM.INI" --embedded --backup . >/dev/null)
  read -r old new neither < <(project_state)
  if ((new != 2000 || neither != 0)) || compgen -G "$work/project/*.TMP" >/dev/null; then
    echo "bench: the run after project kill $trial did not finish the folder cleanly" >&2
    exit 1
  fi
done
echo "bench: $project_kill_trials project kills, every file whole ($project_kill_old old, $project_kill_new new in all)"

# The nested tree: 100 files, reached from T000.SCH through the parts of the libraries.
tree_times=""
tree_peak=0
for ((run = 0; run < runs; ++run)); do
  cp "$inputs"/tree/*.SCH "$work"/
  sync
  read -r seconds kib _ < <(cd "$work" && "$measure" sh -c "$cli --ini ./bench.ini --embedded T000.SCH > tree.out 2>&1")
  [[ $(grep -c '^T0' "$work/tree.out") -eq 100 ]] || { echo "bench: the tree run did not visit 100 files" >&2; exit 1; }
  tree_times+="$seconds"$'\n'
  if ((kib > tree_peak)); then tree_peak=$kib; fi
  rm -f "$work"/T*.SCH "$work"/tree.out
done
tree_seconds=$(printf '%s' "$tree_times" | median)

version_times=""
for ((run = 0; run < 21; ++run)); do
  read -r seconds _ < <("$measure" "$cli" --version 2>/dev/null | tail -1)
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
  echo "| Folder of $folder_files files of 12 kB: \`kestrune-cli --ini ./none.ini *.SCH\` | $(ms "${seconds_of[kestrune/folder]}") ms, peak $(mib "${peak_of[kestrune/folder]}") MiB |"
  echo "| The same folder: \`sed -i\` + \`sync\` | $(ms "${seconds_of[sed/folder]}") ms, peak $(mib "${peak_of[sed/folder]}") MiB |"
  echo "| The same folder: mawk file by file + \`sync\` | $(ms "${seconds_of[awk/folder]}") ms, peak $(mib "${peak_of[awk/folder]}") MiB |"
  echo "| Folder: kestrune / \`sed -i\` + \`sync\` | $(ratio "${seconds_of[kestrune/folder]}" "${seconds_of[sed/folder]}") |"
  echo "| Folder killed at $kill_trials random moments | every file whole: $kill_old old, $kill_new new in all |"
  echo "| \"PART=\"-heavy / without \"PART=\" | $(ratio "${seconds_of[kestrune/allparts]}" "${seconds_of[kestrune/noparts]}") |"
  echo "| Nested tree of 100 files (about 10 kB each) | $(ms "$tree_seconds") ms in all, $(awk -v s="$tree_seconds" 'BEGIN { printf "%.2f", s * 10 }') ms per file, peak $(mib "$tree_peak") MiB |"
  echo "| Loading 50 libraries of 1000 parts (bench_engine) | ${load_micros%.*} µs |"
  echo "| One lookup of an absent part in the full table (bench_engine) | ${find_nanos%.*} ns |"
  echo "| \`kestrune-cli --version\` start-up (median of 21) | $(ms "$version_seconds") ms |"
  echo
  echo "The project folder: files of 12 kB, every tenth a hierarchical block that the next nine lead to through the blocks' library beside them (200 blocks; in the 20,000-file folder the files after the first 2,000 lead to those); the INI file in a folder of its own names $library_count symbol libraries of another folder, $libraries_from, $library_kb kB, and the blocks' library. \`kestrune-cli\` started in the project folder as the design tools start, or for the no-INI case from its parent with \`--ini ./MSIM.INI\` naming no file; $runs runs each (3 for 20,000 files)."
  echo
  echo "| Project folder | kestrune-cli | \`sed -i\` + \`sync\` | \`cp -r\` + \`sync\` | kestrune / sed | kestrune / cp | peak memory kestrune (MiB) |"
  echo "|---|---|---|---|---|---|---|"
  for files in 2000 20000; do
    for case in embedded plain noini; do
      [[ -n ${seconds_of[$case/$files]:-} ]] || continue
      peer=sedp71
      [[ $case == noini ]] && peer=sedi
      case $case in
        embedded) what="\`--ini ... --embedded --backup .\`, beside \`sed -i.P71\`" ;;
        plain) what="\`--ini ... --backup .\`, beside \`sed -i.P71\`" ;;
        noini) what="no INI file, from the parent folder" ;;
      esac
      printf '| %s files, %s | %s ms | %s ms | %s ms | %s | %s | %s |\n' "$files" "$what" \
        "$(ms "${seconds_of[$case/$files]}")" "$(ms "${seconds_of[$peer/$files]}")" "$(ms "${seconds_of[cp/$files]}")" \
        "$(ratio "${seconds_of[$case/$files]}" "${seconds_of[$peer/$files]}")" \
        "$(ratio "${seconds_of[$case/$files]}" "${seconds_of[cp/$files]}")" "$(mib "${peak_of[$case/$files]}")"
    done
  done
  echo
  echo "| Other project figure | Value |"
  echo "|---|---|"
  echo "| 20,000 files against 2,000, \`--embedded --backup\` | $(ratio "${seconds_of[embedded/20000]}" "${seconds_of[embedded/2000]}") × |"
  echo "| 20,000 files against 2,000, no INI file | $(ratio "${seconds_of[noini/20000]}" "${seconds_of[noini/2000]}") × |"
  echo "| Project folder killed at $project_kill_trials random moments, \`--embedded --backup\` | every file whole, every backup the old contents: $project_kill_old old, $project_kill_new new in all; the next run finished each |"
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
