#!/usr/bin/env bash
# The picture follows the sound that is heard, on a sound card that runs
# slower than the system clock. A track with a click every two seconds and a
# script that flashes at the same times, played by the real player on SDL's
# disk audio driver set to take each buffer later than it lasts: the frame
# that first shows each flash (its time from the frame log) and the moment
# that click is handed on to the listener (from the write times the preload
# records and the click's place in the written sound) agree within 30 ms.
set -u
player=$1
show_dir=$2
write_times=$3
. "$(dirname "$0")/test_lib.sh"
command -v ffmpeg >/dev/null || fail "ffmpeg is needed to make the click track"

seconds=${FOLLOW_SECONDS:-31}
# A 5 ms tone burst at 1 s, 3 s, 5 s, ...
ffmpeg -v error -f lavfi \
  -i "aevalsrc=if(gte(t\,1)*lt(mod(t-1\,2)\,0.005)\,0.9*sin(2*PI*1000*t)\,0):s=44100:d=$((seconds + 2))" \
  -ac 2 -c:a libvorbis -q:a 6 "$work/clicks.ogg" || fail "cannot make the click track"

mkdir -p "$work/show"
cp -r "$show_dir/data" "$work/show/data" || fail "no show data in $show_dir"
cat > "$work/show/data/script.scr" <<'SCRIPT'
DEMOSTART 0
SETUP
0 SIGNAL 63 10 100
TIMELINE
1 START 0
1 SIGNAL 0 200 0 0 0
1000 INIT 63
1000 SIGNAL 63 2 2000
SCRIPT

# 24 ms for every buffer of 23.2 ms: the card runs 3.4 % slow.
cd "$work" || exit 1
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/heard.raw" SDL_DISKAUDIODELAY=24 \
  SW_SOUND_WRITE_LOG="$work/writes.txt" LD_PRELOAD="$write_times${LD_PRELOAD:+ $LD_PRELOAD}" STILLWATER_FRAME_LOG="$work/frames.txt" \
  timeout 300 "$player" --window --data "$work/show" --music "$work/clicks.ogg" --end $((seconds * 1000)) \
  >/dev/null 2>"$work/err.txt" || fail "the player ended with status $?: $(cat "$work/err.txt")"
[ -s "$work/writes.txt" ] || fail "no sound buffer was written"
[ -s "$work/frames.txt" ] || fail "no frame was logged"

# The frame that first shows each flash: the first at or after 1000 + 2000 k.
awk '{ k = int(($1 - 1000) / 2000); if ($1 >= 1000 && !(k in seen)) { seen[k] = 1; print k, $2 } }' \
  "$work/frames.txt" > "$work/flashes.txt"
# Each click's first loud sample in what was heard, then when its buffer was
# handed on, plus its place in the buffer at the card's pace.
od -An -v -td2 -w4 "$work/heard.raw" | awk '
  { frame = NR - 1; loud = ($1 > 8000 || $1 < -8000) }
  loud && frame - last > 44100 { print frame } loud { last = frame }' > "$work/clicks.txt"
[ -s "$work/clicks.txt" ] || fail "no click was heard"
awk -v per_frame_ns=$((24000000 / 1024)) '
  FILENAME == ARGV[1] { written[$1] = $2; next }
  FILENAME == ARGV[2] { heard[n++] = written[int($1 / 1024)] + ($1 % 1024) * per_frame_ns; next }
  { shown[$1] = $2 }
  END {
    if (n < 10) { print "only " n " clicks heard"; exit 1 }
    # Clicks are numbered in the show from the first at 1 s; the recording
    # holds them in order.
    worst = 0
    for (k = 0; k < n; k++) {
      if (!(k in shown)) { print "click " k " heard, no flash shown"; bad = 1; continue }
      d = (shown[k] - heard[k]) / 1e6
      printf "click %d: flash %+.1f ms from the sound\n", k, d
      if (d < 0) d = -d
      if (d > worst) worst = d
    }
    printf "worst %.1f ms over %d clicks\n", worst, n
    exit bad || worst > 30
  }' "$work/writes.txt" "$work/clicks.txt" "$work/flashes.txt" || fail "the picture is off the sound"
echo ok
