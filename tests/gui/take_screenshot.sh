#!/bin/sh
# Photographs the main window as it first opens (fresh settings) into a PNG, on a private Xvfb of
# 1024x768 toolkit pixels (times GDK_SCALE, when that is set), in the desktop font of POINTS
# when given.
# Usage: [GDK_SCALE=N] take_screenshot.sh <built KESTRUNE> <output.png> [POINTS]
set -eu
if [ "${1:-}" != "--on-display" ]; then
  scale=${GDK_SCALE:-1}
  exec xvfb-run -a -s "-screen 0 $((1024 * scale))x$((768 * scale))x24 -nolisten tcp" \
    "$0" --on-display "$@"
fi
program=$2
output=$3
config=$(mktemp -d)
if [ -n "${4:-}" ]; then
  mkdir "$config/gtk-3.0"
  printf '[Settings]\ngtk-font-name=Sans %s\n' "$4" >"$config/gtk-3.0/settings.ini"
fi
XDG_CONFIG_HOME=$config NO_AT_BRIDGE=1 "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$config"' EXIT
sleep 2
import -window "PSpice 7.1 to 6.1" "$output"
