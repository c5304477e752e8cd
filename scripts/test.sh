#!/usr/bin/env bash
# Builds KESTRUNE and runs every test: the native suite with the dialog program's tests under
# Xvfb, scripts/start.sh with a display and without, the packages (the .deb and the Windows
# zip, made and checked), the same suite under AddressSanitizer and UndefinedBehaviorSanitizer,
# the runs on several threads under ThreadSanitizer, a short fuzzing run of every target, and
# the 32-bit Windows build's suite under Wine. Installs what it needs.
# KESTRUNE_QUICK=1 runs the native suite only.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build gui
cmake --preset default
cmake --build --preset default -j"$(nproc)"
ctest --preset default -j"$(nproc)"
[[ "${KESTRUNE_QUICK:-0}" == 1 ]] && exit 0

scripts/check-start.sh
# CI's machine is fresh: there the .deb is also installed, to see its triggers at work, and
# removed again.
KESTRUNE_INSTALL_DEB=${KESTRUNE_INSTALL_DEB:-${CI:+1}} scripts/package.sh
scripts/sanitize.sh
scripts/fuzz.sh "${KESTRUNE_FUZZ_SECONDS:-60}"
scripts/test-windows.sh
