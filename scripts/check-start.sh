#!/usr/bin/env bash
# Checks the README's first command as a newcomer meets it: scripts/start.sh on a desktop opens
# the window (seen on a private virtual display, its class the desktop entry's StartupWMClass)
# and ends when the window is closed; without a display it converts a copy of the example and
# leaves no scratch folder behind.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build gui
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-start-check.XXXXXX")
server=""
program=""
cleanup() {
  [[ -z "$program" ]] || kill "$program" 2>/dev/null || true
  [[ -z "$server" ]] || kill "$server" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "check-start: $*" >&2
  exit 1
}

# A settings folder of its own, so that no developer's remembered paths are read or changed.
export XDG_CONFIG_HOME="$scratch/config"

# On a display: the window appears; Esc closes it and start.sh ends with the program's status.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do
  [[ -s "$scratch/display" ]] && break
  sleep 0.1
done
[[ -s "$scratch/display" ]] || fail "Xvfb did not start"
display=":$(cat "$scratch/display")"
DISPLAY=$display WAYLAND_DISPLAY="" scripts/start.sh >"$scratch/start.log" 2>&1 &
program=$!
# start.sh may build first; it fails if it ends before a window shows.
window=""
for _ in $(seq 600); do
  window=$(DISPLAY=$display xdotool search --onlyvisible --name '^PSpice 7\.1 to 6\.1$' 2>/dev/null |
    head -n 1) || true
  [[ -n "$window" ]] || ! kill -0 "$program" 2>/dev/null || { sleep 0.5; continue; }
  break
done
[[ -n "$window" ]] || { cat "$scratch/start.log" >&2; fail "no window appeared"; }
class=$(DISPLAY=$display xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
grep -qx "StartupWMClass=$class" build/generated/res/*.desktop ||
  fail "the window's class '$class' is not the desktop entry's StartupWMClass"
DISPLAY=$display xdotool windowfocus --sync "$window" key Escape
status=0
timeout 30 tail --pid="$program" -f /dev/null || fail "the window did not close on Esc"
wait "$program" || status=$?
program=""
[[ $status -eq 0 ]] || { cat "$scratch/start.log" >&2; fail "start.sh ended with status $status on a display"; }
echo "check-start: on a display the window '${class}' opened and closed, status 0"

# Without a display: the example converted, nothing left in the scratch folder's place.
mkdir "$scratch/tmp"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY TMPDIR="$scratch/tmp" scripts/start.sh >"$scratch/start.log" 2>&1 ||
  status=$?
[[ $status -eq 0 ]] || { cat "$scratch/start.log" >&2; fail "start.sh ended with status $status without a display"; }
grep -q 'AMP.SCH *\*version 6\.1' "$scratch/start.log" || { cat "$scratch/start.log" >&2; fail "the example was not converted"; }
leftovers=$(ls -A "$scratch/tmp")
[[ -z "$leftovers" ]] || fail "start.sh left behind: $leftovers"
echo "check-start: without a display the example was converted and nothing left behind"
