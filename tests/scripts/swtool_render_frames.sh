#!/usr/bin/env bash
# swtool render plays a script on a manual clock: a red background faded in
# by the black fade over one second has known colours at known times, a
# frame at a sparse time is the frame a viewer sees then, and the same
# command writes the same frames every time.
set -u
swtool=$1
show_dir=$2
. "$(dirname "$0")/test_lib.sh"

# Every effect loads its pictures and scenes at start-up: the show's data
# tree, with a script of our own.
[ -d "$show_dir/data" ] || fail "no show data at $show_dir/data"
mkdir -p "$work/show"
cp -r "$show_dir/data" "$work/show/data"
cat > "$work/show/data/script.scr" <<'SCRIPT'
DEMOSTART 0
SETUP
0 SIGNAL 62 6 1000
TIMELINE
1 SIGNAL 0 200 255 0 0
1 START 0
1 START 62
LINETIME
SCRIPT
"$swtool" render --data "$work/show" --at 250,500,1000 --out "$work/out" >/dev/null 2>&1 || fail "render exited $?"

centre() {  # the red, green and blue bytes of the frame's centre pixel
  "$swtool" image "$work/out/$1.png" --raw "$work/raw.bin" >/dev/null 2>&1 || fail "cannot read $1.png"
  od -An -tu1 -j $(( (240 * 640 + 320) * 3 )) -N3 "$work/raw.bin" | tr -s ' ' | sed 's/^ //'
}
close() {  # close EXPECTED ACTUAL: each channel within 2
  set -- $1 $2
  for i in 1 2 3; do
    e=${!i}; j=$((i + 3)); a=${!j}
    [ $((e - a)) -le 2 ] && [ $((a - e)) -le 2 ] || return 1
  done
}
close "191 0 0" "$(centre 0000250)" || fail "at 250 ms: $(centre 0000250)"
close "127 0 0" "$(centre 0000500)" || fail "at 500 ms: $(centre 0000500)"
close "0 0 0" "$(centre 0001000)" || fail "at 1000 ms: $(centre 0001000)"

# Sparse times: the frames in between are drawn at --fps without being
# written. With a flash repeating every 300 ms, the frames at sparse times
# are exactly the frames at those times of a render of every frame from 0.
cat > "$work/show/data/script.scr" <<'SCRIPT'
DEMOSTART 0
SETUP
0 SIGNAL 63 10 250
TIMELINE
1 SIGNAL 0 200 0 0 128
1 START 0
1000 INIT 63
1000 START 63
1000 SIGNAL 63 2 300
LINETIME
SCRIPT
# 60 fps puts frames on every 50 ms: 2000, 2400 and 3000 are on that grid.
times="0002000 0002400 0003000"
"$swtool" render --data "$work/show" --at 2000,2400,3000 --out "$work/sparse" --quiet >/dev/null 2>&1 \
  || fail "sparse render exited $?"
"$swtool" render --data "$work/show" --from 0 --to 3000 --fps 60 --out "$work/every" --quiet >/dev/null 2>&1 \
  || fail "dense render exited $?"
[ "$(ls "$work/sparse" | wc -l)" -eq 3 ] || fail "the sparse render wrote $(ls "$work/sparse" | wc -l) frames, not 3"
[ "$(ls "$work/every" | wc -l)" -eq 181 ] || fail "the dense render wrote $(ls "$work/every" | wc -l) frames, not 181"
for t in $times; do
  cmp -s "$work/sparse/$t.png" "$work/every/$t.png" || fail "the frame at $t differs from the dense render's"
done
# The same holds at another rate.
"$swtool" render --data "$work/show" --at 3000 --fps 20 --out "$work/sparse20" --quiet >/dev/null 2>&1 \
  || fail "sparse render at 20 fps exited $?"
"$swtool" render --data "$work/show" --from 0 --to 3000 --fps 20 --out "$work/every20" --quiet >/dev/null 2>&1 \
  || fail "dense render at 20 fps exited $?"
cmp -s "$work/sparse20/0003000.png" "$work/every20/0003000.png" || fail "at 20 fps the frame at 3000 differs"

# The show itself, with its music, rendered twice over a span with beats.
if [ -f "$show_dir/hoard.dpk" ] && [ -f "$show_dir/soundtrack.ogg" ]; then
  for run in a b; do
    "$swtool" render --archive "$show_dir/hoard.dpk" --password quill --music "$show_dir/soundtrack.ogg" \
      --from 20000 --to 21000 --fps 10 --out "$work/$run" >/dev/null 2>&1 || fail "show render exited $?"
  done
  [ "$(ls "$work/a" | wc -l)" -eq 11 ] || fail "expected 11 frames"
  diff -r "$work/a" "$work/b" >/dev/null || fail "two renders of the same span differ"
fi
echo ok
