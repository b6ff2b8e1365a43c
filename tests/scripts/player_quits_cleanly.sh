#!/usr/bin/env bash
# Headless, the player shows frames until a quit event arrives (SDL turns
# SIGTERM into one), then shuts down in order with status 0. The preloaded
# frame counter counts buffer swaps; the loading bar makes six of them, so
# the quit is sent only once the show itself has drawn frames.
set -u
player=$1
show_dir=$2
frame_counter=$3
wanted=${PLAYER_FRAMES:-30}
. "$(dirname "$0")/test_lib.sh"

cd "$show_dir" || exit 1
# Libraries the caller preloads stay (the sanitized run keeps every library
# loaded that way).
SW_FRAME_COUNT_FILE="$work/frames" LD_PRELOAD="$frame_counter${LD_PRELOAD:+ $LD_PRELOAD}" \
  SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$player" >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
await_frames "$pid" "$wanted" "$work/err.txt"
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { cat "$work/err.txt"; fail "expected status 0 after quit, got $status"; }
echo "ok: quit after $(frames) buffer swaps"
