#!/bin/sh
# Runs a GUI program on the desktop's display, or on a private virtual one when there is none.
set -eu
export NO_AT_BRIDGE=1
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
