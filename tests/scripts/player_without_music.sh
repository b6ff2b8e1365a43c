#!/usr/bin/env bash
# Without soundtrack.ogg beside it the player stops at start-up with the
# music error, status 1.
set -u
player=$1
show_dir=$2
. "$(dirname "$0")/test_lib.sh"
ln -s "$show_dir/hoard.dpk" "$work/hoard.dpk"
cd "$work" || exit 1
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 60 "$player" >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || { echo "expected status 1, got $status"; cat err.txt; exit 1; }
grep -qx 'error!' out.txt || { echo "no 'error!' line on stdout"; cat out.txt; exit 1; }
grep -q 'Fatal error: could not load music' err.txt || { echo "no music error on stderr"; cat err.txt; exit 1; }
echo ok
