#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/build.sh"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
cd "$top/build"
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" "$@"
