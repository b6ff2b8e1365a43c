#!/usr/bin/env bash
# With no GL at all the player must fail with the window error, status 1.
set -u
player=$1
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
SDL_VIDEODRIVER=dummy "$player" >"$out" 2>"$err"
status=$?
[ "$status" -eq 1 ] || { echo "expected status 1, got $status"; exit 1; }
grep -qx 'error!' "$out" || { echo "no 'error!' line on stdout"; cat "$out"; exit 1; }
# The dummy driver has no 640 x 480 mode: the fallback question is asked,
# counts as No without a display, and the program closes.
grep -q 'requested fullscreen mode not supported, run window?' "$err" || { echo "no fallback question"; cat "$err"; exit 1; }
grep -q 'program closes' "$err" || { echo "no 'program closes'"; cat "$err"; exit 1; }
grep -q 'OpenGL init failed' "$err" || { echo "no 'OpenGL init failed' on stderr"; cat "$err"; exit 1; }
