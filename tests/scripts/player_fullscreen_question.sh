#!/usr/bin/env bash
# When no fullscreen window can be had the player asks whether to run in a
# window. Yes: it makes a window (not fullscreen) and shows the show; No:
# "program closes" and it ends with status 1. The display double stands in
# for such a display; SW_QUESTION_ANSWER answers in place of a person.
set -u
player=$1
show_dir=$2
display_double=$3
frame_counter=$4
wanted=30
. "$(dirname "$0")/test_lib.sh"
question='requested fullscreen mode not supported, run window?'
cd "$show_dir" || exit 1
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy SW_WINDOW_LOG="$work/windows" SW_FRAME_COUNT_FILE="$work/frames"

# Yes: a window, frames, and a clean quit.
# Libraries the caller preloads stay (the sanitized run keeps every library
# loaded that way).
SW_QUESTION_ANSWER=yes LD_PRELOAD="$display_double $frame_counter${LD_PRELOAD:+ $LD_PRELOAD}" "$player" >"$work/out.txt" 2>"$work/err.txt" &
pid=$!
await_frames "$pid" "$wanted" "$work/err.txt"
kill -TERM "$pid"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || { cat "$work/err.txt"; fail "answered Yes: expected status 0 after quit, got $status"; }
grep -qF "$question" "$work/err.txt" || { cat "$work/err.txt"; fail "the question was not asked"; }
! grep -q 'program closes' "$work/err.txt" || fail "answered Yes, yet the program closes"
[ "$(cat "$work/windows")" = "window" ] || { cat "$work/windows"; fail "answered Yes: expected one window, not fullscreen"; }

# No: the program closes before any window is made.
rm -f "$work/windows"
SW_QUESTION_ANSWER=no LD_PRELOAD="$display_double${LD_PRELOAD:+ $LD_PRELOAD}" timeout 60 "$player" >"$work/out.txt" 2>"$work/err.txt"
status=$?
[ "$status" -eq 1 ] || { cat "$work/err.txt"; fail "answered No: expected status 1, got $status"; }
grep -qF "$question" "$work/err.txt" || fail "answered No: the question was not asked"
grep -q 'program closes' "$work/err.txt" || fail "answered No: no 'program closes'"
grep -q 'OpenGL init failed' "$work/err.txt" || fail "answered No: no 'OpenGL init failed'"
[ ! -s "$work/windows" ] || fail "answered No, yet a window was made"
echo ok
