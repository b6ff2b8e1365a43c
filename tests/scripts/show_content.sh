#!/usr/bin/env bash
# The default show looks as it is meant to. Its script keeps the tints it
# gives to the sources of frame-grab filters: a filter's INIT restarts its
# source, so the colour has to come after it. The light trails under the
# motion blur (90 s) are amber and the interference through the warping lens
# (152 s) is orange, not white and grey. In the coda the ribbons of light
# drift over the still water (230 s) before the title returns.
set -u
swtool=$1
show_dir=$2
. "$(dirname "$0")/test_lib.sh"

[ -f "$show_dir/data/script.scr" ] || fail "no show at $show_dir"
# Four frames a second are enough for the colours, which do not depend on
# the frames in between.
"$swtool" render --data "$show_dir" --at 90000,152000,230000 --fps 4 --out "$work/out" --quiet >/dev/null 2>&1 \
  || fail "render exited $?"

count_pixels() {  # count_pixels FRAME ROWS TEST: pixels of the first ROWS rows for which the awk TEST holds
  "$swtool" image "$work/out/$1.png" --raw "$work/raw.bin" >/dev/null 2>&1 || fail "cannot read $1.png"
  od -An -v -tu1 -w3 "$work/raw.bin" | awk "NR <= 640 * $2 && ($3) { n++ } END { print n + 0 }"
}
warm='$1 >= 120 && $1 >= $3 + 60 && $2 >= $3 + 20'
trails=$(count_pixels 0090000 480 "$warm")
warp=$(count_pixels 0152000 480 "$warm")
[ "$trails" -ge 300 ] || fail "the trails at 90 s are not amber ($trails warm pixels)"
[ "$warp" -ge 100000 ] || fail "the warped interference at 152 s is not orange ($warp warm pixels)"
# Bright blue light in the sky, above the water line: the ribbons.
ribbons=$(count_pixels 0230000 280 '$3 >= 180 && $3 >= $1 + 30')
[ "$ribbons" -ge 1000 ] || fail "no ribbons over the coda's sky at 230 s ($ribbons blue pixels)"
echo ok
