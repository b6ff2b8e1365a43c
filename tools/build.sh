#!/usr/bin/env bash
# Configures and builds everything (players, swtool, tests, the show).
#   tools/build.sh [BUILD_DIR [CMAKE_OPTION...]]
# BUILD_DIR defaults to build/ of the checkout; the CMake options (such as
# -DSTILLWATER_SANITIZE=ON) apply when that folder is first configured.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$top/build}
[ $# -gt 0 ] && shift
"$top/tools/install-deps.sh"
jobs=$(nproc 2>/dev/null || echo 2)
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$build_dir" -j "$jobs" -- --no-print-directory >/dev/null
