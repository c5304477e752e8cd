#!/usr/bin/env bash
# Builds KESTRUNE and starts the dialog program; without a display, converts a copy of the
# bundled example with the command line instead, shows the result and removes the copy again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build gui
cmake --preset default
cmake --build --preset default -j"$(nproc)" --target KESTRUNE kestrune-cli
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec build/app/wx/KESTRUNE
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-example.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP
cp examples/*.SCH examples/*.SLB examples/*.INI "$work"/
cli="$PWD/build/cli/kestrune-cli"
echo "No display: converting a copy of the bundled example with kestrune-cli:"
status=0
(cd "$work" && "$cli" --ini ./MSIM.INI --backup --embedded AMP.SCH) || status=$?
echo "The copy's files now begin with:"
for file in "$work"/*.SCH; do
  printf '  %-10s %s\n' "${file##*/}" "$(head -n 1 "$file" | tr -d '\r')"
done
shopt -s nullglob
backups=("$work"/*.P71)
echo "Backups beside them: ${backups[*]##*/}"
echo "(The copy is removed again. To convert your own files: $cli --help)"
exit "$status"
