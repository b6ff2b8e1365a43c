#!/usr/bin/env bash
# player.exe under Wine plays a span of the show in a window and ends by
# itself with status 0; player.exe and player_nomsaa.exe play the show
# fullscreen on a 640 x 480 display, end with status 0 when their window is
# closed as its close button would close it, and keep the archive's debug
# log in the Windows temporary folder. Without its music the player says so
# in a Windows message box and ends with status 1 once the box is closed; a
# bad option shows the usage in a box and ends with status 2.
#   player_quits.sh BUILD_WIN
set -u
build_win=$1
source "$(dirname "$0")/wine_session.sh"
package=$build_win/stillwater-win64
close_window=$build_win/programs/tests/windows/close_window.exe
[ -f "$package/player.exe" ] || skip "no Windows package in $package (run tools/build-windows.sh)"
[ -f "$close_window" ] || skip "no $close_window (run tools/build-windows.sh)"
wine_session "$build_win"
wine_display 640x480
temp_folder=$(windows_temp_folder)
[ -d "$temp_folder" ] || fail "no Windows temporary folder ($temp_folder)"

# Wine has no sound device here: SDL's dummy driver stands in for it.
export SDL_AUDIODRIVER=dummy
(cd "$package" && STILLWATER_FRAME_LOG="$work/span.log" timeout 300 "$WINE" player.exe --window \
  --start 20000 --end 23000 < /dev/null > "$work/span.out" 2>&1)
status=$?
[ "$status" -eq 0 ] || { tail -20 "$work/span.out"; fail "player.exe --window --start 20000 --end 23000: status $status"; }
first=$(head -1 "$work/span.log" | cut -d' ' -f1)
last=$(tail -1 "$work/span.log" | cut -d' ' -f1)
[ "${first:-0}" -ge 20000 ] && [ "$first" -lt 20100 ] && [ "$last" -ge 22900 ] && [ "$last" -le 23100 ] ||
  fail "player.exe --start 20000 --end 23000 drew from ${first:-nothing} to ${last:-nothing} ms"
echo "player.exe --window --start 20000 --end 23000: $(wc -l < "$work/span.log") frames from $first to $last ms, status 0"

for player in player player_nomsaa; do
  rm -f "$temp_folder/debug_unrar.txt" "$work/frames.log"
  (cd "$package" && STILLWATER_FRAME_LOG="$work/frames.log" timeout 300 "$WINE" "$player.exe" \
    < /dev/null > "$work/$player.log" 2>&1) &
  pid=$!
  # Two seconds of the show after its first frame, then the close button.
  for waited in $(seq 600); do
    [ -s "$work/frames.log" ] && [ "$(tail -1 "$work/frames.log" | cut -d' ' -f1)" -gt 2000 ] && break
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2> /dev/null || { wait "$pid"; tail -20 "$work/$player.log"; fail "$player.exe ended by itself (status $?)"; }
  timeout 120 "$WINE" "$close_window" stillwater 60 < /dev/null || fail "could not close $player.exe's window"
  wait "$pid"
  status=$?
  [ "$status" -eq 0 ] || { tail -20 "$work/$player.log"; fail "$player.exe ended with status $status after its window was closed"; }
  frames=$(wc -l < "$work/frames.log")
  last=$(tail -1 "$work/frames.log" | cut -d' ' -f1)
  [ "$frames" -ge 10 ] && [ "$last" -gt 2000 ] || fail "$player.exe drew $frames frames, the last at $last ms"
  grep -q 'Extracting >data' "$temp_folder/debug_unrar.txt" 2> /dev/null ||
    fail "$player.exe left no archive log in the Windows temporary folder ($temp_folder)"
  echo "$player.exe: $frames frames up to $last ms of the show, closed with status 0"
done
mkdir "$work/no_music"
ln -s "$package/hoard.dpk" "$work/no_music/hoard.dpk"
(cd "$work/no_music" && timeout 300 "$WINE" "$package/player_nomsaa.exe" < /dev/null > "$work/no_music.log" 2>&1) &
pid=$!
timeout 120 "$WINE" "$close_window" error 60 < /dev/null || fail "no message box titled \"error\" without the music"
wait "$pid"
status=$?
[ "$status" -eq 1 ] || { cat "$work/no_music.log"; fail "without the music: status $status, expected 1"; }
grep -q 'Fatal error: could not load music' "$work/no_music.log" || { cat "$work/no_music.log"; fail "no music error"; }
echo "player_nomsaa.exe without its music: the error in a message box, status 1"

# A bad option: a windowed program has no console, so the usage comes in a
# box titled "stillwater", and on standard error too; status 2.
(cd "$work" && timeout 300 "$WINE" "$package/player.exe" --bogus < /dev/null > "$work/bogus.log" 2>&1) &
pid=$!
timeout 120 "$WINE" "$close_window" stillwater 60 < /dev/null || fail "no message box titled \"stillwater\" for a bad option"
wait "$pid"
status=$?
[ "$status" -eq 2 ] || { cat "$work/bogus.log"; fail "a bad option: status $status, expected 2"; }
grep -q 'unknown option --bogus' "$work/bogus.log" && grep -q 'usage: ' "$work/bogus.log" ||
  { cat "$work/bogus.log"; fail "a bad option: no fault and usage on standard error"; }
echo "player.exe --bogus: the usage in a message box and on standard error, status 2"
echo ok
