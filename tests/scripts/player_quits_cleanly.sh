#!/usr/bin/env bash
# Headless, the player renders frames until a quit event arrives (SDL turns
# SIGTERM into one), then shuts down in order with status 0.
set -u
player=$1
show_dir=$2
cd "$show_dir" || exit 1
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$player" &
pid=$!
sleep "${PLAYER_RUN_SECONDS:-3}"
kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo "player ended early with status $?"; exit 1; }
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { echo "expected status 0 after quit, got $status"; exit 1; }
