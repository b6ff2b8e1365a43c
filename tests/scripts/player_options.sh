#!/usr/bin/env bash
# The player's options as a user gives them: bad ones end with the usage and
# status 2 before any window is made; --help prints the usage; --start and
# --end bound the frames drawn (read from the frame log) and the program ends
# by itself at the end; --loop goes back to the start; --data reads loose
# files, --archive and --music name the files to use.
set -u
player=$1
show_dir=$2
. "$(dirname "$0")/test_lib.sh"
export SDL_AUDIODRIVER=dummy

# A video driver that does not exist: any attempt at a window fails with
# status 1, so status 2 shows the options were refused first.
for args in "--bogus" "--start" "--start abc" "--start -1" "--end 10 --start 20" "--data" \
            "--data $show_dir --archive $show_dir/hoard.dpk" "--data /no/such/folder"; do
  # shellcheck disable=SC2086
  SDL_VIDEODRIVER=no_such_driver timeout 30 "$player" $args >"$work/out.txt" 2>"$work/err.txt"
  status=$?
  [ "$status" -eq 2 ] || fail "'$args': expected status 2, got $status: $(cat "$work/err.txt")"
  case "$args" in
    "--data /no/such/folder") grep -q "cannot enter" "$work/err.txt" || fail "'$args': no message" ;;
    *) grep -q "^usage: " "$work/err.txt" || fail "'$args': no usage on stderr" ;;
  esac
done

SDL_VIDEODRIVER=no_such_driver "$player" --help >"$work/out.txt" 2>&1 || fail "--help: status $?"
grep -q -- "--start MS" "$work/out.txt" || fail "--help prints no usage"

export SDL_VIDEODRIVER=offscreen
# A start after the script's DEMOEND is known once the script is read: a
# usage error naming the end.
mkdir -p "$work/short/data"
printf 'DEMOEND 4000\nSETUP\nTIMELINE\n100 START 0\n' >"$work/short/data/script.scr"
timeout 60 "$player" --window --data "$work/short" --music "$show_dir/soundtrack.ogg" --start 5000 \
  >"$work/out.txt" 2>"$work/err.txt"
status=$?
[ "$status" -eq 2 ] || fail "--start past DEMOEND: expected status 2, got $status: $(cat "$work/err.txt")"
grep -q "^player: --start 5000 lies after the show's end (4000 ms)$" "$work/err.txt" ||
  fail "--start past DEMOEND: the end is not named: $(cat "$work/err.txt")"
# Checks that every frame time in the log lies in [$2, $3] and that the
# first frame is near the start: "check_span log from to".
check_span() {
  [ -s "$1" ] || fail "no frames were logged"
  awk -v from="$2" -v to="$3" '
    NR == 1 && ($1 < from || $1 > from + 1500) { print "first frame at " $1; bad = 1 }
    $1 < from || $1 > to + 1000 { print "frame at " $1 " outside " from ".." to; bad = 1 }
    END { exit bad }' "$1" || fail "frames outside the span"
}

# Loose data from the show folder, music named from where the player started.
cd "$work" || exit 1
STILLWATER_FRAME_LOG="$work/frames.txt" timeout 120 "$player" --window --data "$show_dir" \
  --music "$show_dir/soundtrack.ogg" --start 60000 --end 62000 >/dev/null 2>"$work/err.txt"
status=$?
[ "$status" -eq 0 ] || fail "--start/--end: status $status: $(cat "$work/err.txt")"
check_span "$work/frames.txt" 60000 62000
awk 'END { if ($1 < 62000) exit 1 }' "$work/frames.txt" || fail "ended before --end"

# DEMOEND in the script's head ends the show by itself; --end still wins.
copy_show "$show_dir"
sed -i 's/^DEMOSTART .*/DEMOSTART 0\nDEMOEND 5000/' "$work/stage/data/script.scr"
grep -q '^DEMOEND 5000' "$work/stage/data/script.scr" || fail "the show's script has no DEMOSTART line to put DEMOEND after"
STILLWATER_FRAME_LOG="$work/end.txt" timeout 120 "$player" --window --data "$work/stage" \
  --music "$show_dir/soundtrack.ogg" >/dev/null 2>"$work/err.txt" || fail "DEMOEND: status $?: $(cat "$work/err.txt")"
awk 'END { if ($1 < 5000 || $1 > 6000) { print "last frame at " $1; exit 1 } }' "$work/end.txt" ||
  fail "DEMOEND 5000 did not end the show near 5000 ms"
STILLWATER_FRAME_LOG="$work/end2.txt" timeout 120 "$player" --window --data "$work/stage" \
  --music "$show_dir/soundtrack.ogg" --end 2000 >/dev/null 2>"$work/err.txt" || fail "DEMOEND with --end: status $?"
awk 'END { if ($1 < 2000 || $1 > 3000) { print "last frame at " $1; exit 1 } }' "$work/end2.txt" ||
  fail "--end 2000 did not win over DEMOEND"

# The archive and the music named as files; --loop goes back to the start.
if [ -f "$show_dir/hoard.dpk" ]; then
  STILLWATER_FRAME_LOG="$work/loop.txt" "$player" --window --archive "$show_dir/hoard.dpk" --password quill \
    --music "$show_dir/soundtrack.ogg" --start 30000 --end 30800 --loop >/dev/null 2>"$work/err.txt" &
  pid=$!
  # Until the show has gone back to the start twice.
  await_log "$pid" "$work/loop.txt" 'NR > 1 && $1 < last { back++ } { last = $1 } END { exit back < 2 }' "$work/err.txt"
  kill -TERM "$pid"
  wait "$pid" || fail "--loop: status $? after quit"
  check_span "$work/loop.txt" 30000 30800
  awk 'NR > 1 && $1 < last { back = 1 } { last = $1 } END { exit !back }' "$work/loop.txt" ||
    fail "--loop never went back to the start"
fi
echo ok
