#!/usr/bin/env bash
# Configures and builds everything (players, swtool, tests, the show) in build/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
jobs=$(nproc 2>/dev/null || echo 2)
if [ ! -f "$top/build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$top/build" -j "$jobs" -- --no-print-directory >/dev/null
