#!/usr/bin/env bash
# swtool render --video writes (to - from) x fps / 1000 frames at a constant
# rate with the music's span underneath, and its frames are the PNG frames
# within the codec's loss (checked with FFmpeg's own tools).
set -u
swtool=$1
show_dir=$2
music=$3
. "$(dirname "$0")/test_lib.sh"
command -v ffprobe >/dev/null && command -v ffmpeg >/dev/null || fail "ffprobe and ffmpeg are needed"

[ -d "$show_dir/data" ] || fail "no show data at $show_dir/data"
mkdir -p "$work/show"
cp -r "$show_dir/data" "$work/show/data"
# A red background that the black fade uncovers over the first second.
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

probe() {  # probe FILE STREAM ENTRY
  ffprobe -v error -select_streams "$2" -show_entries "stream=$3" -of default=nw=1:nk=1 "$1"
}
centre_red() {  # the red byte of the centre pixel of a PNG
  "$swtool" image "$1" --raw "$work/raw.bin" >/dev/null 2>&1 || fail "cannot read $1"
  od -An -tu1 -j $(( (240 * 640 + 320) * 3 )) -N1 "$work/raw.bin" | tr -d ' '
}

for container in mp4 webm; do
  out="$work/span.$container"
  "$swtool" render --data "$work/show" --music "$music" --from 500 --to 1500 --fps 30 --video "$out" --quiet \
    >/dev/null 2>"$work/errors.txt" || fail "$container: render exited $?: $(cat "$work/errors.txt")"
  frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
    -of default=nw=1:nk=1 "$out")
  [ "$frames" = 30 ] || fail "$container: $frames video frames, not 30"
  [ "$(probe "$out" v:0 r_frame_rate)" = "30/1" ] || fail "$container: rate $(probe "$out" v:0 r_frame_rate)"
  [ "$(probe "$out" a:0 sample_rate)" = 44100 ] || fail "$container: no 44.1 kHz audio"
  # The audio lasts the span: 1 s, give or take one encoder frame.
  length=$(ffmpeg -v error -i "$out" -map a:0 -f s16le -ac 1 - | wc -c)
  [ "$length" -ge $((2 * 44100 - 2 * 2048)) ] && [ "$length" -le $((2 * 44100 + 2 * 2048)) ] ||
    fail "$container: $length bytes of mono audio for one second"

  # The first frame is the frame at 500 ms: the fade half way, red about 100.
  ffmpeg -v error -i "$out" -frames:v 1 "$work/first-$container.png" || fail "$container: no first frame"
  "$swtool" render --data "$work/show" --at 500 --out "$work/png" >/dev/null 2>&1 || fail "PNG render failed"
  expected=$(centre_red "$work/png/0000500.png")
  actual=$(centre_red "$work/first-$container.png")
  [ $((expected - actual)) -le 6 ] && [ $((actual - expected)) -le 6 ] ||
    fail "$container: first frame red $actual, the PNG frame's $expected"
done

# Spans that do not divide into whole frames: the sound ends with the
# pictures (frames x 44100 / fps samples), within one audio frame, at 24, 30
# and 60 frames a second.
for fps in 24 30 60; do
  out="$work/odd-$fps.mp4"
  "$swtool" render --data "$work/show" --music "$music" --from 0 --to 1030 --fps "$fps" --video "$out" --quiet \
    >/dev/null 2>"$work/errors.txt" || fail "$fps fps: render exited $?: $(cat "$work/errors.txt")"
  frames=$((1030 * fps / 1000))
  samples=$(ffmpeg -v error -i "$out" -map a:0 -f s16le -ac 1 - | wc -c)
  samples=$((samples / 2))
  wanted=$((frames * 44100 / fps))
  [ $((samples - wanted)) -le 1024 ] && [ $((wanted - samples)) -le 1024 ] ||
    fail "$fps fps: $samples audio samples under $frames frames ($wanted wanted)"
  video=$(probe "$out" v:0 duration)
  audio=$(probe "$out" a:0 duration)
  awk -v v="$video" -v a="$audio" 'BEGIN { d = v - a; if (d < 0) d = -d; exit !(d <= 1024 / 44100) }' ||
    fail "$fps fps: video $video s, audio $audio s"
done

"$swtool" render --data "$work/show" --from 0 --to 100 --video "$work/clip.avi" >/dev/null 2>&1 &&
  fail "an unknown video extension was accepted"
"$swtool" render --data "$work/show" --at 100 --video "$work/clip.mp4" >/dev/null 2>&1 &&
  fail "--video with --at was accepted"
exit 0
