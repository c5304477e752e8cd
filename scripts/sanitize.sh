#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/
# and runs it, then the runs on several threads with ThreadSanitizer in build-tsan/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"
# The preset sets the sanitizers' options: leaks fail, a report stops the test that caused it.
ctest --preset asan -j"$(nproc)"

cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$(nproc)"
ctest --preset tsan
