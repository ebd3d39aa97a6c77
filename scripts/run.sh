#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorvex on the embedded SQLite
# database beside the program (an empty one is created there when none exists).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/install-deps.sh" --run-only
build="$here/build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target quorvex
cd "$build/src"   # the default logo "Logo/logo.bmp" is found from here
exec ./quorvex "$@"
