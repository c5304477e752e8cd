#!/usr/bin/env bash
# Drives kestrune-cli's bash completion over a folder whose names hold spaces and quotes and end
# in .sch and .ini in several letter cases: the completion function called as bash calls it on
# Tab, and lines typed at a real interactive prompt, where readline's own quoting is at work.
# Usage: completion_test.sh COMPLETION BASH_COMPLETION CLI_FOLDER
set -uo pipefail
[[ -r $2 ]] || { echo "bash-completion is missing: scripts/install-deps.sh build" >&2; exit 1; }
completion=$(realpath "$1")
bash_completion=$(realpath "$2")
PATH=$(realpath "$3"):$PATH

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-completion.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/names"
cd "$scratch/names" || exit 1
mkdir "sub dir" "Folder's"
touch "with space.sch" "it's.SCH" 'say "hi".sCh' notes.txt notes.sch.txt MSIM.INI other.Ini \
  "sub dir/inner.sch"

# shellcheck source=/dev/null
source "$bash_completion"
# shellcheck source=cli/completion/kestrune-cli.bash
source "$completion"

checks=0
failures=0
# check LINE WORD... gives REPLY...: completes at the end of LINE, which bash has split into the
# WORDs (the last one being completed); the replies must be exactly the REPLYs, in any order.
check() {
  local line=$1
  shift
  local -a words=() expected=() replies=()
  while [[ $1 != gives ]]; do
    words+=("$1")
    shift
  done
  shift
  expected=("$@")
  checks=$((checks + 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMP_WORDS=("${words[@]}")
  COMP_CWORD=$((${#words[@]} - 1))
  COMPREPLY=()
  _kestrune_cli kestrune-cli "${words[COMP_CWORD]}" "${words[COMP_CWORD - 1]}"
  mapfile -t replies < <(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort)
  mapfile -t expected < <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
  if [[ "${replies[*]}" != "${expected[*]}" ]]; then
    printf 'FAILED: %s\n  expected: %s\n  offered:  %s\n' "$line" \
      "$(printf '<%s> ' "${expected[@]}")" "$(printf '<%s> ' "${replies[@]}")"
    failures=$((failures + 1))
  fi
}

# What Tab offers where several names fit (bash quotes the one it inserts).
check "kestrune-cli " kestrune-cli "" gives "with space.sch" "it's.SCH" 'say "hi".sCh' \
  "sub dir" "Folder's"
check "kestrune-cli n" kestrune-cli n gives
check "kestrune-cli -i " kestrune-cli -i "" gives MSIM.INI other.Ini "sub dir" "Folder's"
check "kestrune-cli --ini o" kestrune-cli --ini o gives other.Ini
check "kestrune-cli --ini=" kestrune-cli --ini = "" gives MSIM.INI other.Ini "sub dir" "Folder's"
check "kestrune-cli --re" kestrune-cli --re gives --recursive
check "kestrune-cli -- -" kestrune-cli -- - gives

# typed LINE ARGUMENT...: LINE typed at an interactive prompt, then Tab and Enter, must run
# kestrune-cli with exactly the ARGUMENTs.
typed_lines=()
typed_arguments=()
typed() {
  typed_lines+=("$1")
  shift
  typed_arguments+=("$(printf '<%s>' "$@")")
}
typed 'kestrune-cli wi' "with space.sch"
typed "kestrune-cli 'with s" "with space.sch"
typed 'kestrune-cli "with s' "with space.sch"
typed 'kestrune-cli with\ s' "with space.sch"
typed 'kestrune-cli "it'\''s' "it's.SCH"
typed "kestrune-cli 'say \"h" 'say "hi".sCh'
typed 'kestrune-cli sub\ dir/' "sub dir/inner.sch"
typed 'kestrune-cli --ini=M' --ini=MSIM.INI
typed 'kestrune-cli -b --in' -b --ini=

# The prompt's kestrune-cli records its arguments; its options come from the real --help.
cat >"$scratch/rc" <<END
unset HISTFILE
source '$bash_completion'
source '$completion'
kestrune-cli() {
  if [[ \${1-} == --help ]]; then command kestrune-cli --help; return; fi
  printf '<%s>' "\$@" >>'$scratch/arguments'
  echo >>'$scratch/arguments'
}
END
printf '%s\t\n' "${typed_lines[@]}" >"$scratch/keys"
echo exit >>"$scratch/keys"
touch "$scratch/arguments"
INPUTRC=/dev/null timeout 60 script -q -c "bash --noprofile --rcfile '$scratch/rc' -i" /dev/null \
  <"$scratch/keys" >/dev/null 2>&1
mapfile -t received <"$scratch/arguments"
for i in "${!typed_lines[@]}"; do
  checks=$((checks + 1))
  if [[ "${received[i]-}" != "${typed_arguments[i]}" ]]; then
    printf 'FAILED: typed %s, Tab, Enter\n  expected: %s\n  received: %s\n' "${typed_lines[i]}" \
      "${typed_arguments[i]}" "${received[i]-}"
    failures=$((failures + 1))
  fi
done

echo "completion: $((checks - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
