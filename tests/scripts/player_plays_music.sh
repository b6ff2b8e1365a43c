#!/usr/bin/env bash
# Headless, with the disk audio driver, the player plays the soundtrack from
# the script's DEMOSTART: the recording holds the decoder's samples there.
# With --start the music begins at that time instead.
set -u
player=$1
swtool=$2
soundtrack=$3
show_dir=$4
start_ms=60000
. "$(dirname "$0")/test_lib.sh"

mkdir -p "$work/stage" "$work/run"
cp -r "$show_dir/data" "$work/stage/data" || fail "no show data in $show_dir"
sed -i "s/^DEMOSTART .*/DEMOSTART $start_ms/" "$work/stage/data/script.scr"
grep -q "^DEMOSTART $start_ms" "$work/stage/data/script.scr" || fail "script has no DEMOSTART line"
"$swtool" pack "$work/stage" "$work/run/hoard.dpk" --password quill >/dev/null || fail "pack"
ln -s "$show_dir/soundtrack.ogg" "$work/run/soundtrack.ogg"

cd "$work/run" || exit 1
# Plays for a while with the given options and checks that the recording
# holds the track from ms on: "hear ms [player options]".
hear() {
  local ms=$1
  shift
  rm -f "$work/heard.raw"
  rm -f "$work/frames.log"
  SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/heard.raw" \
    STILLWATER_FRAME_LOG="$work/frames.log" "$player" "$@" >/dev/null 2>"$work/err.txt" &
  pid=$!
  # Until the show has played two seconds from where it began.
  await_log "$pid" "$work/frames.log" "NR == 1 { first = \$1 } END { exit !(\$1 >= first + 2000) }" "$work/err.txt"
  kill -TERM "$pid"
  wait "$pid"
  status=$?
  [ "$status" -eq 0 ] || fail "expected status 0 after quit, got $status"
  [ -s "$work/heard.raw" ] || fail "nothing was written by the disk driver"
  "$soundtrack" find "$work/heard.raw" "$show_dir/soundtrack.ogg" "$ms" || fail "the track at $ms ms was not heard ($*)"
}
hear "$start_ms"
hear 90000 --start 90000
echo ok
