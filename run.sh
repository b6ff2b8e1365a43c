#!/usr/bin/env bash
# Installs what is missing, builds, and plays the show from build/show/.
# Without a display the show plays headless on SDL's offscreen driver.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${SDL_VIDEODRIVER:-}" ]; then
  export SDL_VIDEODRIVER=offscreen
  export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
fi
cd "$top/build/show"
exec ./player
