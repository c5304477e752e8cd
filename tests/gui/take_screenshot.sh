#!/bin/sh
# Photographs the main window as it first opens (fresh settings) into a PNG, on a private Xvfb.
# Usage: take_screenshot.sh <built KESTRUNE> <output.png>
set -eu
if [ "${1:-}" != "--on-display" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" --on-display "$@"
fi
program=$2
output=$3
config=$(mktemp -d)
XDG_CONFIG_HOME=$config NO_AT_BRIDGE=1 "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$config"' EXIT
sleep 2
import -window "PSpice 7.1 to 6.1" "$output"
