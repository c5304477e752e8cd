#!/usr/bin/env bash
# Builds KESTRUNE and starts the dialog program; without a display, converts a copy of the
# bundled example with the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build gui
cmake --preset default
cmake --build --preset default -j"$(nproc)" --target KESTRUNE kestrune-cli
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec build/app/KESTRUNE
fi
work=$(mktemp -d)
cp examples/*.SCH examples/*.SLB examples/*.INI "$work"/
echo "No display: converting a copy of the example in $work with kestrune-cli:"
cd "$work" && exec "$OLDPWD/build/cli/kestrune-cli" --ini ./MSIM.INI --backup --embedded AMP.SCH
