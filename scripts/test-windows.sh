#!/usr/bin/env bash
# Cross-builds KESTRUNE for 32-bit Windows and runs every test under Wine; installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build windows
build=build-win32
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

# A Wine prefix of its own for this run, so no developer's Wine setup is used or changed.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kestrune-wine.XXXXXX")
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=""
wineboot --init >/dev/null 2>&1
wineserver -w

# Each test runs in a Wine process of its own, as ctest runs them natively.
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
