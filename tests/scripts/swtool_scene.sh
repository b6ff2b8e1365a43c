#!/usr/bin/env bash
# swtool scene prints each show scene with its textures found, and ends with
# status 1 and the chunk's offset on a damaged file.
set -u
swtool=$1
show_dir=$2
. "$(dirname "$0")/test_lib.sh"
for scene in "$show_dir"/data/*.scn; do
  "$swtool" scene "$scene" --textures "$show_dir/data/textures" > "$work/out.txt" 2> "$work/err.txt" ||
    fail "$scene: status $?: $(cat "$work/err.txt")"
  grep -q '^clock: ' "$work/out.txt" || fail "$scene: no clock line"
done
# The welding scene cut in the middle of a chunk.
head -c 5000 "$show_dir/data/welderscene4.scn" > "$work/cut.scn"
"$swtool" scene "$work/cut.scn" > /dev/null 2> "$work/err.txt" && fail "a cut file was accepted"
grep -Eq 'chunk at offset [0-9]+: ' "$work/err.txt" || fail "no chunk offset: $(cat "$work/err.txt")"
# A texture folder without the textures.
mkdir "$work/empty"
"$swtool" scene "$show_dir/data/gang.scn" --textures "$work/empty" > /dev/null 2> "$work/err.txt" &&
  fail "missing textures were not reported"
grep -q 'is not in' "$work/err.txt" || fail "no missing-texture message: $(cat "$work/err.txt")"
"$swtool" scene > /dev/null 2>&1 && fail "no file was accepted"
exit 0
