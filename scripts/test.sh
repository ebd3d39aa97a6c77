#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# QUORVEX_SANITIZE=1 builds and tests with AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/install-deps.sh"
build="$here/build-test"
extra=()
if [ "${QUORVEX_SANITIZE:-0}" = "1" ]; then
    build="$here/build-asan"
    extra=(-DQUORVEX_SANITIZE=ON)
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug "${extra[@]}" >/dev/null
cmake --build "$build"
cd "$build"
ctest --output-on-failure -j2
