#!/usr/bin/env bash
# With --data the player reloads the script when it is saved and goes on at
# the same demo time; a broken script shows its error on standard error and
# the last good one plays on.
set -u
player=$1
show_dir=$2
. "$(dirname "$0")/test_lib.sh"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
cp -r "$show_dir/data" "$work/data" || fail "no show data in $show_dir"
cp "$work/data/script.scr" "$work/good.scr"

STILLWATER_FRAME_LOG="$work/frames.txt" "$player" --window --data "$work" --music "$show_dir/soundtrack.ogg" \
  --start 60000 >/dev/null 2>"$work/err.txt" &
pid=$!
# Whole lines of the frame log so far (the player may be writing one).
logged() { cat "$work/frames.txt" 2>/dev/null | wc -l; }
# Waits until the frame log has grown by some frames: "frames_go_on".
frames_go_on() {
  local before
  before=$(logged)
  for _ in $(seq 600); do
    sleep 0.1
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; cat "$work/err.txt"; fail "the player ended with status $?"; }
    [ "$(logged)" -gt $((before + 3)) ] && return 0
  done
  fail "no new frames"
}
frames_go_on
sleep 1

printf 'SETUP\n0 START 1\nTIMELINE\n' >"$work/data/script.scr"
frames_go_on
sleep 1
frames_go_on
grep -q "script: event not recognized in setup line # 1" "$work/err.txt" || fail "no script error on stderr"
grep -q "the last good script plays on" "$work/err.txt" || fail "no word that the last script plays on"
broken_at=$(awk 'NF == 2 { t = $1 } END { print t }' "$work/frames.txt")

# A good script again: reloaded, and the time goes on from where it was.
cp "$work/good.scr" "$work/data/script.scr"
echo "// saved again" >>"$work/data/script.scr"
for _ in $(seq 100); do grep -q "script: reloaded" "$work/err.txt" && break; sleep 0.1; done
grep -q "script: reloaded" "$work/err.txt" || fail "the saved script was not reloaded"
frames_go_on
kill -TERM "$pid"
wait "$pid" || fail "status $? after quit"
awk -v from="$broken_at" 'NR > 1 && $1 < last { print "time went back from " last " to " $1; bad = 1 }
  { last = $1 } END { exit bad || last <= from }' "$work/frames.txt" || fail "the time did not go on"
echo ok
