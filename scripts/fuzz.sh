#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ and runs each for a while; fails on any crash or broken property.
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (or KESTRUNE_FUZZ_SECONDS; default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${KESTRUNE_FUZZ_SECONDS:-60}}"
corpus="${KESTRUNE_CORPUS_DIR:-$PWD/../shared/corpus}"
build="$PWD/build-fuzz"

scripts/install-deps.sh build fuzz
cmake --preset fuzz >/dev/null
targets=(converter ini_reader library_loader windows_path)
cmake --build --preset fuzz -j"$(nproc)" --target "${targets[@]/%/_fuzzer}"

# Copies the files matching the patterns into a target's seed folder, if there are any.
seed_from() {
  local folder=$1; shift
  local file
  for file in "$@"; do
    [[ -f "$file" ]] && cp "$file" "$folder/"
  done
  return 0
}

# Seeds made here: line lengths at the piece limit, a carriage return at the end of the
# reader's first buffer, many parts, and path texts of every form.
write_made_seeds() {
  local seeds=$build/seeds
  local x298 x299 x300
  x298=$(printf 'x%.0s' {1..298}); x299="${x298}x"; x300="${x299}x"
  printf '*version 7.1\r\n%s\r\n%s\r\n%s\n%s@setup\r\nin\r\n@index\r\n' "$x298" "$x299" "$x300" "$x298" \
    >"$seeds/converter/piece-limits"
  { head -c 16383 /dev/zero | tr '\0' 'y'; printf '\r\n*version 7.1\r\nPART=SUB\r\n'; } >"$seeds/converter/buffer-edge"
  { for n in $(seq 1 520); do printf 'PART=P%d\r\nDEFAULT=d%d.sch\r\n' "$n" "$n"; done; } >"$seeds/library_loader/many-parts"
  local n=0 text
  for text in 'C:\WINDOWS\MSIM.INI' 'c:\work\sub\..\AMP.SCH' 'lib\parts\OWN.SLB' '\\server\share\x' \
              '..\twin\file' 'C:relative' 'Z:' '/tmp//a\\b'; do
    n=$((n + 1))
    printf '%s\x00\xc8' "$text" >"$seeds/windows_path/path-$n"
  done
}

rm -rf "$build/seeds"
for target in "${targets[@]}"; do mkdir -p "$build/seeds/$target" "$build/corpus/$target" "$build/artifacts"; done
seed_from "$build/seeds/converter" "$corpus"/sch/* examples/*.SCH
seed_from "$build/seeds/ini_reader" "$corpus"/ini/* examples/*.INI
seed_from "$build/seeds/library_loader" "$corpus"/slb/* examples/*.SLB
write_made_seeds

declare -A max_len=([converter]=20000 [ini_reader]=8192 [library_loader]=16384 [windows_path]=512)
declare -A dictionary=([converter]=schematic [ini_reader]=ini [library_loader]=library [windows_path]=windows_path)
failed=()
for target in "${targets[@]}"; do
  log="$build/artifacts/$target.log"
  if "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
       -dict="$PWD/fuzz/${dictionary[$target]}.dict" -timeout=20 -print_final_stats=1 \
       -artifact_prefix="$build/artifacts/$target-" "$build/corpus/$target" "$build/seeds/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $target: ${runs:-?} executions in ${seconds} s, no crash, every property held"
  else
    echo "fuzz $target: FAILED (log: $log)" >&2
    grep -E 'PROPERTY FAILED|ERROR:|SUMMARY|Test unit written' "$log" >&2 || tail -n 30 "$log" >&2
    failed+=("$target")
  fi
done
[[ ${#failed[@]} -eq 0 ]] || { echo "fuzz: failures in ${failed[*]}" >&2; exit 1; }
