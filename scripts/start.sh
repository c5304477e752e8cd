#!/usr/bin/env bash
# Builds KESTRUNE and converts a copy of the bundled example with the command line.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUNE_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)" --target kestrune-cli
work=$(mktemp -d)
cp examples/*.SCH examples/*.SLB examples/*.INI "$work"/
echo "Converting the example in $work:"
(cd "$work" && "$OLDPWD/build/cli/kestrune-cli" --ini ./MSIM.INI --backup --embedded AMP.SCH)
